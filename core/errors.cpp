// Texts of the application's errors.
#include "core/errors.h"

QString EInOutError::textForCode(int code)
{
    switch (code) {
    case kFileNotFound:
        return QStringLiteral("File not found");
    case kInvalidFilename:
        return QStringLiteral("Invalid filename");
    case kTooManyOpenFiles:
        return QStringLiteral("Too many open files");
    case kAccessDenied:
        return QStringLiteral("File access denied");
    case kReadBeyondEnd:
        return QStringLiteral("Read beyond end of file");
    case kDiskFull:
        return QStringLiteral("Disk full");
    case kNotAFormFile:
        return QStringLiteral("Not a form file");
    default:
        return QStringLiteral("I/O error %1").arg(code);
    }
}

QString withFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}
