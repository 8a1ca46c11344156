#include "kxremoteexception.h"

KxRemoteException::KxRemoteException(const QString &message)
    : text(message)
    , utf8(message.toUtf8())
{}
