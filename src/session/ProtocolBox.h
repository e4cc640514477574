#pragma once
#include "session/SshSettings.h"

#include <QComboBox>

#include <algorithm>

// The profile's protocol choice, one item per TProtocol in its order.
class TProtocolBox : public QComboBox {
public:
    TProtocolBox()
    {
        addItems({QString::fromLatin1(ProtocolKey(TProtocol::Ftp)), QString::fromLatin1(ProtocolKey(TProtocol::Sftp))});
    }
    TProtocol Protocol() const { return static_cast<TProtocol>(std::max(currentIndex(), 0)); }
    void SetProtocol(TProtocol protocol) { setCurrentIndex(int(protocol)); }
};
