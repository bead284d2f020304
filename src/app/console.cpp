// Console output: the one way a run writes a line to standard output or standard error.
#include "app/console.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

// Lines to a file or a pipe go out in blocks of this size.
constexpr size_t kBlockSize = 64 * 1024;

// Standard output's block. The signal handler writes out what it holds, so it is a plain array
// and `g_held` grows only after the bytes are in place; FlushOutput blocks the two signals while
// it writes and empties it.
char g_block[kBlockSize];
volatile sig_atomic_t g_held = 0;

// The line an interruption prints after its "Interrupted by SIGxxx", made whole before the handler
// can see it: a new one replaces the old in one atomic store.
std::atomic<char*> g_interruptionText{nullptr};
const char* g_step = "starting";
std::string g_interruptedFolder;

static_assert(std::atomic<char*>::is_always_lock_free, "the signal handler reads it");

// A person watching a terminal sees each line as it happens. Into a file or a pipe, lines go out
// in blocks: a run prints thousands of them, and a write per line costs as much as copying a
// small file.
bool LineByLine() {
  static const bool terminal = isatty(STDOUT_FILENO) == 1;
  return terminal;
}

// Writes all of `size` bytes, as far as the descriptor takes them; uses only what a signal
// handler may.
void WriteAll(int fd, const char* bytes, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // a closed or full output loses the rest, as a stream would
    bytes += written;
    size -= static_cast<size_t>(written);
  }
}

// The two signals a user or a service manager stops a run with.
sigset_t InterruptionSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

void WriteHeld() {
  const sigset_t signals = InterruptionSignals();
  sigset_t previous;
  sigprocmask(SIG_BLOCK, &signals, &previous);
  WriteAll(STDOUT_FILENO, g_block, static_cast<size_t>(g_held));
  g_held = 0;
  sigprocmask(SIG_SETMASK, &previous, nullptr);
}


void Hold(const char* bytes, size_t size) {
  while (size > 0) {
    if (static_cast<size_t>(g_held) == kBlockSize) WriteHeld();
    const size_t room = kBlockSize - static_cast<size_t>(g_held);
    const size_t part = size < room ? size : room;
    std::memcpy(g_block + g_held, bytes, part);
    g_held = static_cast<sig_atomic_t>(g_held + static_cast<sig_atomic_t>(part));
    bytes += part;
    size -= part;
  }
}

// What is held goes out when the process ends normally, as a stream's buffer would.
struct WriteHeldAtExit {
  ~WriteHeldAtExit() {
    WriteHeld();
    delete[] g_interruptionText.exchange(nullptr);
  }
} g_writeHeldAtExit;

void ComposeInterruptionText() {
  std::string text = std::string(" while ") + g_step;
  text += g_interruptedFolder.empty() ? "; nothing was written." : ": " + g_interruptedFolder;
  text = ShownText(text) + "\n";
  char* composed = new char[text.size() + 1];
  std::memcpy(composed, text.c_str(), text.size() + 1);
  delete[] g_interruptionText.exchange(composed);
}

void OnInterruption(int signal) {
  WriteAll(STDOUT_FILENO, g_block, static_cast<size_t>(g_held));
  g_held = 0;
  const char* cause = signal == SIGINT ? "Interrupted by SIGINT" : "Interrupted by SIGTERM";
  WriteAll(STDOUT_FILENO, cause, std::strlen(cause));
  const char* text = g_interruptionText.load();
  if (text != nullptr) WriteAll(STDOUT_FILENO, text, std::strlen(text));
  // The run ends as the signal ends a process, so that its caller sees why.
  struct sigaction standard = {};
  standard.sa_handler = SIG_DFL;
  sigemptyset(&standard.sa_mask);
  sigaction(signal, &standard, nullptr);
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, signal);
  sigprocmask(SIG_UNBLOCK, &signals, nullptr);
  raise(signal);
  _exit(128 + signal);
}

bool NeedsEscape(unsigned char byte) { return byte < 0x20 || byte >= 0x7F; }

// The length of the UTF-8 sequence at `text[at]`, 0 when none starts there.
size_t Utf8SequenceLength(const std::string& text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  size_t length = 0;
  unsigned int low = 0x80;
  unsigned int high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  else return 0;
  // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[at + i]);
    if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

void AppendHex(std::string& shown, const char* prefix, unsigned int value) {
  static const char kDigits[] = "0123456789abcdef";
  shown += prefix;
  shown += kDigits[(value >> 4) & 0xF];
  shown += kDigits[value & 0xF];
}

// The length of the start of `text` that is shown as it is.
size_t PlainPrefix(const std::string& text) {
  size_t at = 0;
  while (at < text.size() &&
         (!NeedsEscape(static_cast<unsigned char>(text[at])) || text[at] == '\t')) {
    ++at;
  }
  return at;
}

}  // namespace

std::string ShownText(const std::string& text) {
  size_t at = PlainPrefix(text);
  if (at == text.size()) return text;
  std::string shown = text.substr(0, at);
  while (at < text.size()) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      if (byte == '\n') shown += "\\n";
      else if (byte == '\r') shown += "\\r";
      else if (byte == '\t' || !NeedsEscape(byte)) shown += static_cast<char>(byte);
      else AppendHex(shown, "\\x", byte);
      ++at;
      continue;
    }
    const size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {
      AppendHex(shown, "\\x", byte);
      ++at;
    } else if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F) {
      AppendHex(shown, "\\u00", static_cast<unsigned char>(text[at + 1]));
      at += 2;
    } else {
      shown.append(text, at, length);
      at += length;
    }
  }
  return shown;
}

void PrintLine(const std::string& text) {
  // Most lines need no escape: they are held as they are, without a copy.
  if (PlainPrefix(text) == text.size()) {
    Hold(text.data(), text.size());
  } else {
    const std::string shown = ShownText(text);
    Hold(shown.data(), shown.size());
  }
  Hold("\n", 1);
  if (LineByLine()) WriteHeld();
}

void PrintErrorLine(const std::string& text) {
  WriteHeld();
  const std::string shown = ShownText(text) + "\n";
  WriteAll(STDERR_FILENO, shown.data(), shown.size());
}

void FlushOutput() { WriteHeld(); }

void CatchInterruptions() {
  ComposeInterruptionText();
  struct sigaction action = {};
  action.sa_handler = OnInterruption;
  action.sa_mask = InterruptionSignals();
  for (const int signal : {SIGINT, SIGTERM}) {
    // A run started with the signal ignored (in the background of a script) keeps ignoring it.
    struct sigaction current = {};
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

void BeginStep(const char* step) {
  WriteHeld();
  g_step = step;
  ComposeInterruptionText();
}

void SetInterruptedFolder(const std::string& projectFolder) {
  g_interruptedFolder = projectFolder;
  ComposeInterruptionText();
}
