#include "transfer/TransferNames.h"

#include <QComboBox>

QString RemoteSpec(const QString& profileName, const QString& remoteFolder, const QString& name)
{
    return profileName + u':' + remoteFolder + u':' + name;
}

QString RemoteSpec(const QComboBox& profileNameBox, const QComboBox& remoteDirBox, const QString& name)
{
    return RemoteSpec(profileNameBox.currentText(), remoteDirBox.currentText(), name);
}
