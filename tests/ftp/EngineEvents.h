#pragma once
#include "ftp/IdTCPConnection.h"

#include <string>
#include <vector>

// Records the status texts and disconnect notifications of a connection, in order.
struct EngineEvents {
    std::vector<std::string> events;

    void Attach(TIdTCPConnection& connection) {
        connection.OnStatus = [this](TIdComponent*, TIdStatus, const std::string& text) { events.push_back(text); };
        connection.OnDisconnected = [this](TIdTCPConnection*) { events.push_back("OnDisconnected"); };
    }
};
