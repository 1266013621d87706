// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>

#include "commands.h"
#include "messages.h"

namespace {

// Standard output through write(2), keeping the reason of the first write
// that failed: a table written to a full disk or a closed descriptor must
// say so rather than end as a success.
class OutputBuf : public std::streambuf {
public:
    OutputBuf() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain() {
        const char* at = pbase();
        while (at < pptr() && error_ == 0) {
            const ssize_t n = ::write(STDOUT_FILENO, at, static_cast<std::size_t>(pptr() - at));
            if (n < 0) {
                if (errno == EINTR) continue;
                error_ = errno;
            } else {
                at += n;
            }
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return error_ == 0;
    }

    std::array<char, 1 << 16> buffer_{};
    int error_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    cli::setMessageLanguage(msg::languageFromEnvironment());
    OutputBuf buffer;
    std::ostream out(&buffer);
    // Messages follow what was written before them.
    std::ostream* const tied = std::cerr.tie(&out);
    int status = cli::runMain(argc, argv, out, std::cerr);
    out.flush();
    // `out` ends with main, but std::cerr is flushed again at exit, and a
    // flush of std::cerr flushes the stream tied to it.
    std::cerr.tie(tied);
    // A broken pipe ends the program by its signal before this, quietly:
    // the reader wanted no more.
    if (buffer.error() != 0) {
        std::cerr << cli::kProgram << ": write error: " << std::strerror(buffer.error()) << '\n';
        status = cli::kUsage;
    }
    return status;
}
