#pragma once

#include <string>

// Texts inside Quillora are byte strings in the program's code page
// (GB18030, which is byte-identical to GBK for every character GBK holds).
// Request and response bodies, pictures and file contents are plain byte
// buffers. Both are std::string: a counted array of bytes that may hold zeros.
using ByteBuffer = std::string;
