// Writes a large structure data file byte by byte, without the model's code,
// so that a test or a benchmark of brxtool does not trust what it measures.
// The file is in the writer's form (StructureNumber its position, the file
// header as the writer computes it); every other byte is pseudo-random, so
// that signed fields go negative and every flag is seen.
// Usage: make_structure_file STRUCTURES TILES OUT.brx [SEED]
// Another SEED (default 0) gives a file of the same shape whose every field
// is, but for one in 256, another value: the mod of a benchmark's patch.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// xorshift32: the same bytes on every system and every run.
class Bytes {
 public:
  explicit Bytes(std::uint32_t seed) : state_(2463534242u ^ seed) {}
  std::uint8_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<std::uint8_t>(state_ >> 11);
  }

 private:
  std::uint32_t state_;
};

void PutU16(std::vector<std::uint8_t>& out, std::size_t at, unsigned value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: make_structure_file STRUCTURES TILES OUT.brx [SEED]\n");
    return 2;
  }
  const unsigned long structures = std::strtoul(argv[1], nullptr, 10);
  const unsigned long tiles = std::strtoul(argv[2], nullptr, 10);
  if (structures > 0xFFFF || tiles > 0xFF) {
    std::fprintf(stderr, "at most 65535 structures of 255 tiles\n");
    return 2;
  }
  std::FILE* file = std::fopen(argv[3], "wb");
  if (!file) {
    std::perror(argv[3]);
    return 1;
  }
  constexpr std::size_t kHeader = 16;
  constexpr std::size_t kTile = 32;
  std::vector<std::uint8_t> header(kHeader, 0);
  header[0] = 'B';
  header[1] = 'R';
  header[2] = 'X';
  header[3] = 'F';
  PutU16(header, 4, static_cast<unsigned>(structures));
  PutU16(header, 6, static_cast<unsigned>(structures));
  PutU16(header, 8, static_cast<unsigned>((structures * (kHeader + tiles * kTile)) & 0xFFFF));
  header[10] = 2;
  std::fwrite(header.data(), 1, header.size(), file);
  Bytes random(argc == 5 ? static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10)) : 0);
  std::vector<std::uint8_t> record(kHeader + tiles * kTile);
  for (unsigned long i = 0; i < structures; ++i) {
    for (std::uint8_t& byte : record) byte = random.Next();
    record[3] = static_cast<std::uint8_t>(tiles);  // NumberOfTiles
    PutU16(record, 8, static_cast<unsigned>(i));   // StructureNumber
    std::fwrite(record.data(), 1, record.size(), file);
  }
  if (std::fclose(file) != 0) {
    std::perror(argv[3]);
    return 1;
  }
  return 0;
}
