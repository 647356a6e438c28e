#include "tools/brxtool/output_file.h"

#include <cstddef>
#include <cstdint>
#include <streambuf>

#include "model/atomic_save.h"

namespace brx::tool {
namespace {

// A stream's buffer that hands what it holds to a sink whenever it is full
// or flushed.
class SinkBuffer : public std::streambuf {
 public:
  explicit SinkBuffer(const ByteSink& sink) : sink_(sink) { setp(buffer_, buffer_ + kSize); }

  // Hands on what is held; false once the sink has refused a piece.
  bool Drain() {
    const auto held = static_cast<std::size_t>(pptr() - pbase());
    handed_ = handed_ && (held == 0 || sink_(reinterpret_cast<const std::uint8_t*>(pbase()), held));
    setp(buffer_, buffer_ + kSize);
    return handed_;
  }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  static constexpr std::size_t kSize = 1 << 16;
  const ByteSink& sink_;
  bool handed_ = true;
  char buffer_[kSize];
};

}  // namespace

bool WriteWholeFile(FileSystem& files, const std::string& path,
                    const std::function<bool(std::ostream&)>& write, std::string& error) {
  return SaveAtomically(
      files, path,
      [&write](const ByteSink& sink) {
        SinkBuffer buffer(sink);
        std::ostream out(&buffer);
        return write(out) && out.flush() && buffer.Drain();
      },
      error);
}

}  // namespace brx::tool
