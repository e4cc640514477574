#include "service/JobResult.h"

#include "ftp/IdException.h"

namespace {

// The first line of a reply text or an error message, without its line end.
QString FirstLine(const char* message)
{
    QString text = QString::fromLocal8Bit(message);
    if (const qsizetype end = text.indexOf(QLatin1Char('\n')); end >= 0)
        text.truncate(end);
    return text.trimmed();
}

}  // namespace

TJobResult TJobResult::FromError(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EIdTransferAborted& aborted) {
        return {TJobKind::Aborted, aborted.ReplyErrorCode(), QStringLiteral("中止されました")};
    } catch (const EIdProtocolReplyError& refused) {
        const QString line = FirstLine(refused.what());
        return Failed(QString::number(refused.ReplyErrorCode()) + u' ' + line, refused.ReplyErrorCode());
    } catch (const std::exception& other) {
        return Failed(FirstLine(other.what()));
    } catch (...) {
        return Failed(QStringLiteral("不明なエラー"));
    }
}
