#pragma once

#include <csetjmp>
#include <cstdio>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace lisko {

// libjpeg reports errors by calling error_exit, which must not return. This manager keeps the
// message's number and text and jumps back to the frame that set `jump`; that frame must hold only
// trivially destructible state between setjmp and the jump.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code;
    char text[JMSG_LENGTH_MAX];
};

// libjpeg's standard manager with error_exit replaced by RecordAndJump, for a codec's `err`.
jpeg_error_mgr* UseErrorManager(JpegErrorManager& err);

// The manager a codec set up with UseErrorManager.
JpegErrorManager& ErrorManagerOf(j_common_ptr cinfo);

// Keeps the message the codec's manager holds (msg_code and its parameters) and jumps back.
[[noreturn]] void RecordAndJump(j_common_ptr cinfo);

}  // namespace lisko
