#include "sftp/SftpRights.h"

#include <sys/stat.h>

std::string RightsText(char type, unsigned mode)
{
    std::string text(10, '-');
    text[0] = type;
    static const char letters[] = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        if (mode & (0400u >> bit))
            text[1 + bit] = letters[bit];
    // Set-id and sticky bits show in the execute columns, lower case when executable.
    auto special = [&](unsigned flag, std::size_t column, char letter) {
        if (mode & flag)
            text[column] = text[column] == '-' ? static_cast<char>(letter - 'a' + 'A') : letter;
    };
    special(S_ISUID, 3, 's');
    special(S_ISGID, 6, 's');
    special(S_ISVTX, 9, 't');
    return text;
}
