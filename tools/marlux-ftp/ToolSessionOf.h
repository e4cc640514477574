#pragma once
#include "ToolSession.h"
#include "ftp/IdComponent.h"
#include "ftp/IdText.h"

#include <iostream>

// The settings both engines take alike, and -v's status lines.
template <typename Engine>
class TToolSessionOf : public TToolSession {
public:
    explicit TToolSessionOf(const ToolOptions& options) : TToolSession(options.timeoutMs)
    {
        engine.Host = options.host;
        engine.Port = options.port;
        engine.Username = options.user;
        engine.Password = options.password;
        engine.ReadTimeout = options.timeoutMs;
        engine.TrustedFingerprint = options.trust;
        engine.NameCodec.SetChoice(options.nameEncoding);
        if (options.verbose)
            engine.OnStatus = [](TIdComponent*, TIdStatus, const std::string& text) {
                std::cerr << PrintableText(text) << '\n';
            };
    }

protected:
    Engine engine;
};
