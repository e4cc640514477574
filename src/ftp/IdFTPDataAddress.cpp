// The texts of data connections: PASV replies, PORT commands, listing lines.
#include "ftp/IdFTP.h"

#include "ftp/IdText.h"
#include "platform/DateTime.h"

namespace {

int PortField(const std::string& text) {
    int64_t value = StrToInt64Def(Trim(text), -1);
    if (value < 0 || value > 255) throw EConvertError("'" + text + "' is not a valid integer value");
    return static_cast<int>(value);
}

}  // namespace

TIdFTP::PassiveAddress ParsePassiveReply(const std::string& line) {
    std::string text(Trim(line));
    size_t open = text.find('(');
    size_t close = text.find(')');
    if (open != std::string::npos && close != std::string::npos && close > open) {
        text = text.substr(open + 1, close - open - 1);
    } else {
        size_t blank = text.rfind(' ');
        if (blank != std::string::npos) text = text.substr(blank + 1);
    }
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
        fields.push_back(text.substr(start, comma - start));
    fields.push_back(text.substr(start));
    if (fields.size() < 6) throw EConvertError("'" + line + "' is not a passive address");
    TIdFTP::PassiveAddress passive;
    passive.address = fields[0] + "." + fields[1] + "." + fields[2] + "." + fields[3];
    passive.port = PortField(fields[4]) * 256 + PortField(fields[5]);
    return passive;
}

TIdFTP::PassiveAddress ParseExtendedPassiveReply(const std::string& line) {
    const size_t open = line.find('(');
    const size_t close = line.find(')', open == std::string::npos ? 0 : open);
    const std::string text = open != std::string::npos && close != std::string::npos
                                 ? line.substr(open + 1, close - open - 1)
                                 : std::string();
    // d d d port d, with the same delimiter throughout.
    const char d = text.empty() ? '|' : text.front();
    if (text.size() < 5 || text[1] != d || text[2] != d || text.back() != d)
        throw EConvertError("'" + line + "' is not an extended passive address");
    const int64_t port = StrToInt64Def(text.substr(3, text.size() - 4), -1);
    if (port < 1 || port > 65535) throw EConvertError("'" + line + "' is not an extended passive address");
    TIdFTP::PassiveAddress passive;
    passive.port = static_cast<int>(port);
    return passive;
}

std::string ExtendedPortCommand(const std::string& ip, uint16_t port) {
    return "EPRT |" + std::string(ip.find(':') != std::string::npos ? "2" : "1") + "|" + ip + "|" +
           std::to_string(port) + "|";
}

std::string PortCommand(const std::string& ip, uint16_t port) {
    std::string address = ip;
    for (char& c : address)
        if (c == '.') c = ',';
    return "PORT " + address + "," + std::to_string(port / 256) + "," + std::to_string(port % 256);
}
