// Copying one file byte for byte.
#include "fs/file_copy.h"

#include <cstdio>

namespace {

constexpr size_t kChunkSize = 256;
// The label of every failed write; it ends in a newline of its own.
constexpr char kWriteErrorLabel[] = "Fatal write error.\n";

// Moves the bytes of `in` to `out` and flushes `out`. Returns 1, or -1 after a perror report.
int CopyBytes(FILE* in, FILE* out, const char* source) {
  char buffer[kChunkSize];
  for (;;) {
    size_t read = fread(buffer, 1, sizeof buffer, in);
    if (read == 0) {
      // A read error (the source is a directory, an I/O fault) is not the end of the file.
      if (ferror(in)) {
        perror(source);
        return -1;
      }
      break;
    }
    if (fwrite(buffer, 1, read, out) < read) {
      perror(kWriteErrorLabel);
      return -1;
    }
  }
  // The last chunks are still buffered: a full disk shows only here.
  if (fflush(out) != 0) {
    perror(kWriteErrorLabel);
    return -1;
  }
  return 1;
}

}  // namespace

int CopyFile(const char* source, const char* destination) {
  FILE* in = fopen(source, "r");
  if (in == nullptr) {
    perror(source);
    return -1;
  }
  FILE* out = fopen(destination, "w");
  if (out == nullptr) {
    perror(destination);
    fclose(in);
    return -1;
  }
  int result = CopyBytes(in, out, source);
  fclose(in);
  // A failed close after a failed copy has been reported already.
  if (fclose(out) != 0 && result == 1) {
    perror(kWriteErrorLabel);
    result = -1;
  }
  return result;
}
