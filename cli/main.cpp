// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>

#include "cli/commands.h"
#include "cli/messages.h"

namespace {

// A descriptor written through write(2) from a buffer of 64 KiB, keeping
// the reason of the first write that failed: a table written to a full disk
// or a closed descriptor must say so rather than end as a success.
class DescriptorBuf : public std::streambuf {
public:
    explicit DescriptorBuf(int fd) : fd_(fd) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    int error() const { return error_; }
    // Writes out what is held; false once a write has failed.
    bool drain() {
        if (before_ != nullptr && pptr() != pbase()) before_->drain();
        const char* at = pbase();
        while (at < pptr() && error_ == 0) {
            const ssize_t n = ::write(fd_, at, static_cast<std::size_t>(pptr() - at));
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
    // `before` is drained before anything of this is written.
    void drainFirst(DescriptorBuf* before) { before_ = before; }

protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    std::array<char, 1 << 16> buffer_{};
    int fd_;
    int error_ = 0;
    DescriptorBuf* before_ = nullptr;
};

// The messages: std::cerr flushes after every piece of a message, which cost
// a write(2) per piece, eight for a warning, and most of a run's time when
// a file gave a warning on every row. Here a message waits for its line to
// end and, unless a person is watching the terminal, for the buffer to fill.
// Whatever the program writes to standard output first writes out the
// messages held before it, so that the two keep their order in one file.
class MessageBuf : public DescriptorBuf {
public:
    MessageBuf() : DescriptorBuf(STDERR_FILENO), byLine_(::isatty(STDERR_FILENO) == 1) {}

protected:
    int sync() override {
        if (pptr() == pbase()) return 0;
        if (byLine_ && pptr()[-1] == '\n') return drain() ? 0 : -1;
        return 0;
    }

private:
    bool byLine_;
};

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    cli::setMessageLanguage(msg::languageFromEnvironment());
    DescriptorBuf buffer(STDOUT_FILENO);
    MessageBuf messages;
    buffer.drainFirst(&messages);
    std::ostream out(&buffer);
    std::streambuf* const stderrBuf = std::cerr.rdbuf(&messages);
    // Messages follow what was written before them.
    std::ostream* const tied = std::cerr.tie(&out);
    int status = cli::runMain(argc, argv, out, std::cerr);
    out.flush();
    messages.drain();
    // `out` and the messages' buffer end with main, but std::cerr is flushed
    // again at exit, and a flush of std::cerr flushes the stream tied to it.
    std::cerr.tie(tied);
    std::cerr.rdbuf(stderrBuf);
    // A broken pipe ends the program by its signal before this, quietly:
    // the reader wanted no more.
    if (buffer.error() != 0) {
        std::cerr << cli::kProgram << ": "
                  << cli::said({msg::Code::cliWriteError, {std::strerror(buffer.error())}}) << '\n';
        status = cli::kUsage;
    }
    return status;
}
