// A stream buffer that passes text on with every control character other than line feeds and
// tabs written as "\xNN": file names, sequence names and options typed by the user reach the
// terminal as text, never as commands to it. The one sequence kvr's progress line needs (carriage
// return, then erase the line) passes unchanged.
#pragma once

#include <streambuf>
#include <string>

namespace kvr::cli {

class PrintableStreamBuffer : public std::streambuf {
  public:
    explicit PrintableStreamBuffer(std::streambuf* target) : target_(target) {}
    ~PrintableStreamBuffer() override;

  protected:
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    void Escape(unsigned char c);
    void FlushHeld();  // the held bytes were no progress-line sequence: escape them

    std::streambuf* target_;
    std::string held_;  // a prefix of the progress-line sequence seen so far
};

}  // namespace kvr::cli
