#pragma once
// The test server (tests/fixtures/ftp_server.py, pyftpdlib) for benchmarks that time the
// window against a real server; users as in the tests ("user"/"secret").
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/types.h>
#include <vector>
#include <unistd.h>

// Starts the server on the directory; returns its loopback port. Exits with 2 when it does not
// come up. With rawNames the server lists names as the bytes they are on disk; a sendLimit sends
// downloads at that many bytes a second at most.
inline int StartTestServer(const std::string& root, pid_t& pid, bool rawNames = false, int sendLimit = 0)
{
    int out[2];
    if (pipe(out) != 0)
        std::exit(2);
    pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        const std::string script = std::string(MARLUX_SOURCE_DIR) + "/tests/fixtures/ftp_server.py";
        const std::string limit = std::to_string(sendLimit);
        std::vector<const char*> arguments{"/usr/bin/python3", script.c_str(), "--root", root.c_str(), "--send-limit",
                                           limit.c_str()};
        if (rawNames)
            arguments.push_back("--raw-names");
        arguments.push_back(nullptr);
        execv(arguments[0], const_cast<char* const*>(arguments.data()));
        _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    close(out[0]);
    if (line.rfind("PORT ", 0) != 0) {
        std::fprintf(stderr, "the server did not start\n");
        std::exit(2);
    }
    return std::stoi(line.substr(5));
}
