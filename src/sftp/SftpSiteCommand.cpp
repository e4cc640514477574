#include "sftp/SftpSiteCommand.h"

#include "ftp/IdException.h"

#include <cctype>

namespace {

bool IsChmodWord(const std::string& word)
{
    static const std::string chmod = "CHMOD";
    if (word.size() != chmod.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(word[i])) != chmod[i])
            return false;
    return true;
}

}  // namespace

TSftpChmod ParseSiteChmod(const std::string& command)
{
    const std::size_t wordEnd = command.find(' ');
    if (!IsChmodWord(command.substr(0, wordEnd)))
        throw EIdException("SFTP has no SITE commands but CHMOD: " + command.substr(0, wordEnd));
    const std::size_t modeStart = command.find_first_not_of(' ', wordEnd);
    const std::size_t modeEnd = modeStart == std::string::npos ? modeStart : command.find(' ', modeStart);
    const std::size_t nameStart = modeEnd == std::string::npos ? modeEnd : command.find_first_not_of(' ', modeEnd);
    if (nameStart == std::string::npos)
        throw EIdException("SITE CHMOD needs a mode and a name.");
    const std::string mode = command.substr(modeStart, modeEnd - modeStart);
    TSftpChmod chmod;
    if (mode.size() > 4 || mode.find_first_not_of("01234567") != std::string::npos)
        throw EIdException("SITE CHMOD: invalid mode " + mode + " (octal, such as 644).");
    chmod.mode = static_cast<unsigned>(std::stoul(mode, nullptr, 8));
    chmod.name = command.substr(nameStart);
    return chmod;
}
