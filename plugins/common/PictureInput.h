#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The picture's bytes as GetPictureInfo and GetPicture are given them: from the file buf
// names, starting at offset len (flag 0), or the len bytes at buf (flag 1). Returns a result
// code; the bytes go to out.
int ReadPictureInput(const char* buf, intptr_t len, unsigned flag, std::vector<unsigned char>& out);

// Up to size bytes from the start of the file behind descriptor dw, without moving its
// position; 0 when dw is no file descriptor or cannot be read.
size_t ReadFileHead(intptr_t dw, unsigned char* head, size_t size);
