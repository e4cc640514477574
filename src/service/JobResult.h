#pragma once
#include <QString>

#include <exception>

// How one job or one file of a transfer ended, as the queue and the callers read it.
enum class TJobKind { Done, Failed, Aborted, Skipped };

struct TJobResult {
    TJobKind kind = TJobKind::Done;
    // The server's reply code when the server gave the outcome, else 0.
    int replyCode = 0;
    // Why it did not end as done; empty when it did.
    QString text = {};

    bool Done() const { return kind == TJobKind::Done; }
    static TJobResult Failed(const QString& text, int replyCode = 0) { return {TJobKind::Failed, replyCode, text}; }
    static TJobResult Skipped(const QString& text) { return {TJobKind::Skipped, 0, text}; }
    // What an error raised by a step means for its file: a transfer the server or the user cut
    // short is aborted, anything else failed; the server's code and its first line are kept.
    static TJobResult FromError(std::exception_ptr error);
};
