#pragma once
#include <QString>
#include <vector>

// The colour classes of the session log pane.
enum class TLogTokenClass { Text, Comment, Number, Reserved, String, Url, Mail };

struct TLogSpan {
    int start;
    int length;
    TLogTokenClass kind;
    bool operator==(const TLogSpan&) const = default;
};

// Splits one line into adjacent spans covering it completely, in order:
// - comment: from ">>" to the end of the line;
// - string: from a double quote to the next one, both included (a lone quote is plain text);
// - URL: "http://", "https://", "ftp://" or "www." up to the next blank or quote;
// - mail: name@domain.tld;
// - reserved: the whole words "Connected" and "Disconnected";
// - number: a run of digits that is not part of a word starting with a letter.
std::vector<TLogSpan> ClassifyLogLine(const QString& line);
