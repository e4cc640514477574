#pragma once
#include "ftp/IdComponent.h"

#include <string>

// A hook that sees every byte of one connection; it may change the bytes.
class TIdConnectionIntercept : public TIdBaseComponent {
public:
    virtual void Connect() {}
    virtual void Disconnect() {}
    virtual void Receive(std::string& /*bytes*/) {}
    virtual void Send(std::string& /*bytes*/) {}
};
