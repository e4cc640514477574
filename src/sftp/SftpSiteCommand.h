#pragma once
#include <string>

struct TSftpChmod {
    unsigned mode = 0;
    std::string name;
};

// "CHMOD MODE NAME" (letter case aside; MODE 1 to 4 octal digits; NAME the rest, blanks and
// all). Anything else raises EIdException saying that SFTP has only CHMOD of the SITE commands.
TSftpChmod ParseSiteChmod(const std::string& command);
