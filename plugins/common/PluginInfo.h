#pragma once

// Copies entry infono of texts into buf (at most buflen - 1 bytes and a terminating zero).
// Returns the bytes copied, 0 for an entry that does not exist or an unusable buffer.
int CopyPluginInfo(const char* const* texts, int count, int infono, char* buf, int buflen);
