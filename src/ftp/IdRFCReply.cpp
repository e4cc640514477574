#include "ftp/IdRFCReply.h"

#include "ftp/IdText.h"

void TIdRFCReply::Clear() {
    NumericCode = 0;
    TextCode.clear();
    Text.clear();
    Lines.clear();
}

void TIdRFCReply::ParseLines(const std::vector<std::string>& lines) {
    Clear();
    if (lines.empty()) return;
    std::string code(Trim(std::string_view(lines.front()).substr(0, 4)));
    if (code.size() == 4 && code[3] == '-') code.resize(3);
    TextCode = code;
    NumericCode = static_cast<int>(StrToInt64Def(code, 0));
    for (const std::string& line : lines) Text.push_back(line.size() > 4 ? line.substr(4) : std::string());
    Lines = lines;
}

std::string TIdRFCReply::JoinedText() const {
    std::string text;
    for (const std::string& line : Text) text += line + "\r\n";
    return text;
}
