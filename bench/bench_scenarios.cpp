// Times whole generator runs against `cp -a` and `rm -rf` doing the same copies; prints a table.
//
//   bench_scenarios <qm26-ide-gen> <work folder> [runs] [scenarios, as "1,4"; all when left out]
//
// Every scenario runs once to warm the caches, then `runs` times (at least 5), each of our runs
// followed by its reference run; the ratio is the median of the per-pair ratios. The two sides
// strictly alternate and each prepares its own folder just before it runs, so that each side finds
// the file system as the other left it: ext4 without a journal passes over the inodes freed in the
// last minute when it looks for a new one, so what ran just before changes what creating 3,000
// files costs.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "child_run.h"
#include "input_tree.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMinimumRuns = 5;

struct Row {
  std::string scenario;
  std::vector<double> ours;
  std::vector<double> reference;
  long peakRssKb = 0;
  std::string note;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<double> PairRatios(const Row& row) {
  std::vector<double> ratios;
  for (size_t i = 0; i < row.ours.size(); ++i) ratios.push_back(row.ours[i] / row.reference[i]);
  return ratios;
}

// Runs that must succeed for the figures to mean anything; ends the benchmark otherwise.
class Runner {
 public:
  explicit Runner(std::string logPath) : logPath_(std::move(logPath)) {}

  ChildRun Run(const std::vector<std::string>& argv) {
    const ChildRun run = RunChild(argv, logPath_);
    if (run.exitStatus != 0) {
      std::fprintf(stderr, "bench: %s failed (status %d); its output is in %s\n", argv[0].c_str(),
                   run.exitStatus, logPath_.c_str());
      std::exit(1);
    }
    return run;
  }

  /// The time of `commands` run one after the other.
  double RunAll(const std::vector<std::vector<std::string>>& commands) {
    double seconds = 0;
    for (const auto& argv : commands) seconds += Run(argv).seconds;
    return seconds;
  }

  void Remove(const std::string& path) { Run({"rm", "-rf", path}); }

  /// One side of a pair: `prepare` (not timed) removes what the run before left where needed, then
  /// `timed` runs from a clean page cache (no dirty pages of the other side to write back).
  void Side(const std::function<void()>& prepare, const std::function<void()>& timed) {
    prepare();
    sync();
    timed();
  }

 private:
  std::string logPath_;
};

// `rm -rf` of what `folder` holds, as a shell's `rm -rf folder/* folder/.*` would.
std::vector<std::string> RemoveContentsCommand(const std::string& folder) {
  std::vector<std::string> argv = {"rm", "-rf"};
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    argv.push_back(entry.path().string());
  }
  return argv;
}

std::string Seconds(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", value);
  return text;
}

std::string Megabytes(double kilobytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", kilobytes / 1024);
  return text;
}

// Whether scenario `number` is to run: `only` lists the numbers to run, "4,6", or is empty for
// all.
bool Wanted(const std::string& only, int number) {
  return only.empty() || ("," + only + ",").find("," + std::to_string(number) + ",") !=
                             std::string::npos;
}

// A line before each scenario's runs, which take minutes on a slow disk.
void Announce(const Row& row) {
  std::printf("bench: %s\n", row.scenario.c_str());
  std::fflush(stdout);
}

void PrintRow(const Row& row) {
  char ratio[16];
  std::snprintf(ratio, sizeof ratio, "%.2f", Median(PairRatios(row)));
  std::printf("| %s | %s | %s | %s | %s |\n", row.scenario.c_str(),
              Seconds(Median(row.ours)).c_str(), Seconds(Median(row.reference)).c_str(), ratio,
              Megabytes(row.peakRssKb).c_str());
}

void PrintRuns(const Row& row) {
  std::printf("  %s\n    ours:", row.scenario.c_str());
  for (double t : row.ours) std::printf(" %.3f", t);
  std::printf("\n    reference:");
  for (double t : row.reference) std::printf(" %.3f", t);
  std::printf("\n");
  if (!row.note.empty()) std::printf("    %s\n", row.note.c_str());
}

// Where a run on `mdkFile` puts its project.
std::string ProjectFolderOf(const std::string& mdkFile) {
  return fs::path(mdkFile).parent_path().parent_path().string() + "/qm26_ide_proj";
}

// `cp -a` of what a run on the MDK folder `mdkFolder` copies, into `reference`.
std::vector<std::vector<std::string>> CopyCommands(const BenchInputs& inputs,
                                                   const std::string& mdkFolder,
                                                   const std::string& reference) {
  return {
      {"cp", "-a", inputs.templatesPath + "/QM26R620A/QM26_IDE/.", mdkFolder + "/.",
       inputs.startupFile, reference},
      {"cp", "-a", inputs.linkerFolder, reference + "/ldscripts"},
  };
}

// Ends the benchmark unless `project` holds what a finished run leaves: the two project files,
// the chip's settings and the chip's one linker script.
void RequireCompleteProject(const std::string& project) {
  std::error_code ignored;
  size_t scripts = 0;
  for (const fs::directory_entry& entry :
       fs::directory_iterator(project + "/ldscripts", ignored)) {
    scripts += entry.path().filename() == "QM26R620AxG_FLASH.ld" ? 1 : 100;
  }
  for (const char* name : {"/.project", "/.cproject", "/preferences.ini"}) {
    if (fs::file_size(project + name, ignored) == 0 || ignored) scripts = 0;
  }
  if (scripts != 1) {
    std::fprintf(stderr, "bench: the run left no complete project in %s\n", project.c_str());
    std::exit(1);
  }
}

// The largest C, C++, assembler or header file below `folder`, as the check would read it.
uintmax_t LargestSourceBelow(const std::string& folder) {
  uintmax_t largest = 0;
  std::error_code ignored;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder, ignored)) {
    const std::string extension = entry.path().extension().string();
    for (const char* checked : {".c", ".h", ".s", ".S", ".cpp"}) {
      if (extension == checked && entry.is_regular_file(ignored)) {
        largest = std::max(largest, entry.file_size(ignored));
      }
    }
  }
  return largest;
}

// A checked file's share of the bound: its line at hand three times (as read, less comments, less
// literals too) and 12 bytes a token, at most one a byte.
constexpr double kCheckedFileFactor = 16;
constexpr double kProjectFileFactor = 20;
// What a peak can differ by for no input at all: glibc's heap grows 128 KiB at a time.
constexpr double kHeapStepKb = 128;

// The peak memory of a run on `mdkFile` against the bound: 20 times the .uvprojx plus what the
// largest checked file needs, on top of what a run on a one-line source takes (`baselineKb`).
std::string MemoryNote(long peakRssKb, long baselineKb, const std::string& mdkFile) {
  const double projectKb = static_cast<double>(fs::file_size(mdkFile)) / 1024;
  const double sourceKb =
      static_cast<double>(LargestSourceBelow(fs::path(mdkFile).parent_path().string())) / 1024;
  const double ownKb = static_cast<double>(peakRssKb - baselineKb);
  const double boundKb =
      kProjectFileFactor * projectKb + kCheckedFileFactor * sourceKb + kHeapStepKb;
  char note[320];
  std::snprintf(note, sizeof note,
                "peak memory %s, %s above a run on one line; bound 20 x the %s .uvprojx + 16 x the "
                "largest checked file, %s, + a heap step of 128 KiB: %s, %s",
                Megabytes(static_cast<double>(peakRssKb)).c_str(), Megabytes(ownKb).c_str(),
                Megabytes(projectKb).c_str(), Megabytes(sourceKb).c_str(),
                Megabytes(boundKb).c_str(), ownKb <= boundKb ? "within" : "OVER");
  return note;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <qm26-ide-gen> <work folder> [runs] [scenarios]\n", argv[0]);
    return 2;
  }
  const std::string generator = fs::absolute(argv[1]).string();
  const std::string work = fs::absolute(argv[2]).lexically_normal().string();
  const int runs = std::max(kMinimumRuns, argc > 3 ? std::atoi(argv[3]) : kMinimumRuns);
  const std::string only = argc > 4 ? argv[4] : "";
  fs::create_directories(work);

  std::printf("bench: writing the inputs below %s (kept for later runs)\n", work.c_str());
  std::fflush(stdout);
  BenchInputs inputs;
  if (!WriteBenchInputs(work + "/inputs", &inputs)) return 1;
  const std::string log = work + "/runs.log";
  fs::remove(log);
  Runner runner(log);
  const auto generatorRun = [&](const std::string& mdkFile) {
    return std::vector<std::string>{generator, "-MDKPATH", mdkFile, "-TEMPLATESPATH",
                                    inputs.templatesPath, "-BSPPATH", inputs.bspPath};
  };
  // What any run takes, whatever its input: the program's code and libraries, its buffers and
  // the template's and the BSP's files.
  long baselineKb = 0;
  for (int i = 0; i < 3; ++i) {
    runner.Remove(ProjectFolderOf(inputs.minimalMdkFile));
    baselineKb = std::max(baselineKb, runner.Run(generatorRun(inputs.minimalMdkFile)).peakRssKb);
  }

  const std::string largeFolder = fs::path(inputs.largeMdkFile).parent_path().string();
  const std::string project = ProjectFolderOf(inputs.largeMdkFile);
  const std::string reference = fs::path(largeFolder).parent_path().string() + "/reference";
  const std::vector<std::vector<std::string>> copyCommands = CopyCommands(inputs, largeFolder,
                                                                          reference);

  // A first run on `mdkFile` against `cp -a` of what it copies, each into a fresh folder.
  const auto FirstRunRow = [&](const std::string& name, const std::string& mdkFile) {
    const std::string mdkFolder = fs::path(mdkFile).parent_path().string();
    // Beside each other: a new file's inode is looked for near its folder's, and the file
    // system's cost of that search differs from place to place.
    const std::string ourProject = ProjectFolderOf(mdkFile);
    const std::string theirs = fs::path(mdkFolder).parent_path().string() + "/reference";
    const std::vector<std::vector<std::string>> commands = CopyCommands(inputs, mdkFolder, theirs);
    Row row{name, {}, {}, 0, ""};
    Announce(row);
    for (int i = 0; i <= runs; ++i) {
      ChildRun ours;
      double copy = 0;
      runner.Side([&] { runner.Remove(ourProject); },
                  [&] { ours = runner.Run(generatorRun(mdkFile)); });
      RequireCompleteProject(ourProject);
      runner.Side(
          [&] {
            runner.Remove(theirs);
            fs::create_directory(theirs);
          },
          [&] { copy = runner.RunAll(commands); });
      if (i == 0) continue;  // warming the caches
      row.ours.push_back(ours.seconds);
      row.reference.push_back(copy);
      row.peakRssKb = std::max(row.peakRssKb, ours.peakRssKb);
    }
    row.note = MemoryNote(row.peakRssKb, baselineKb, mdkFile);
    return row;
  };

  // 1: a fresh project folder each time; the reference copies into a fresh folder.
  std::vector<Row> done;
  if (Wanted(only, 1)) {
    done.push_back(FirstRunRow("1. first run, 3,001 files, 286 MB", inputs.largeMdkFile));
  }
  // 2: both folders hold a complete project from the run before.
  if (Wanted(only, 2)) {
    fs::create_directories(reference);
    Row again{"2. re-run over the project", {}, {}, 0, ""};
    Announce(again);
    for (int i = 0; i <= runs; ++i) {
      ChildRun ours;
      double theirs = 0;
      runner.Side([] {}, [&] { ours = runner.Run(generatorRun(inputs.largeMdkFile)); });
      runner.Side([] {}, [&] {
        std::vector<std::vector<std::string>> commands = {RemoveContentsCommand(reference)};
        commands.insert(commands.end(), copyCommands.begin(), copyCommands.end());
        theirs = runner.RunAll(commands);
      });
      if (i == 0) continue;
      again.ours.push_back(ours.seconds);
      again.reference.push_back(theirs);
      again.peakRssKb = std::max(again.peakRssKb, ours.peakRssKb);
    }
    done.push_back(again);
  }
  // 3: our run on the larger list against our run on the smaller one.
  if (Wanted(only, 3)) {
    Row lists{"3. 50,000 C files listed (reference: our run on 5,000)", {}, {}, 0, ""};
    Announce(lists);
    for (int i = 0; i <= runs; ++i) {
      ChildRun large;
      ChildRun small;
      runner.Side([] {}, [&] { large = runner.Run(generatorRun(inputs.list50kMdkFile)); });
      runner.Side([] {}, [&] { small = runner.Run(generatorRun(inputs.list5kMdkFile)); });
      if (i == 0) continue;
      lists.ours.push_back(large.seconds);
      lists.reference.push_back(small.seconds);
      lists.peakRssKb = std::max(lists.peakRssKb, large.peakRssKb);
    }
    lists.note = MemoryNote(lists.peakRssKb, baselineKb, inputs.list50kMdkFile);
    done.push_back(lists);
  }

  // 4: the check's scenario: most of the run is the check and the copy of large files.
  if (Wanted(only, 4)) {
    done.push_back(FirstRunRow("4. first run, 500 checked sources, 1,259 files, 84 MiB",
                               inputs.checkedMdkFile));
  }

  // 5 on: each step on an input and on one twice its size (or more), in turn; the ratio is the
  // larger's time over the smaller's.
  for (const BenchInputs::Scaled& scaled : inputs.scaled) {
    const int number = 5 + static_cast<int>(&scaled - inputs.scaled.data());
    if (!Wanted(only, number)) continue;
    for (size_t k = 0; k + 1 < scaled.mdkFiles.size(); ++k) {
      Row row{std::to_string(number) + ". " + scaled.name + ": " +
                  scaled.sizes[k + 1] + " (reference: " + scaled.sizes[k] + ")",
              {}, {}, 0, ""};
      Announce(row);
      const std::string& larger = scaled.mdkFiles[k + 1];
      const std::string& smaller = scaled.mdkFiles[k];
      long smallerPeakKb = 0;
      for (int i = 0; i <= runs; ++i) {
        ChildRun large;
        ChildRun small;
        runner.Side([&] { runner.Remove(ProjectFolderOf(larger)); },
                    [&] { large = runner.Run(generatorRun(larger)); });
        RequireCompleteProject(ProjectFolderOf(larger));
        runner.Side([&] { runner.Remove(ProjectFolderOf(smaller)); },
                    [&] { small = runner.Run(generatorRun(smaller)); });
        RequireCompleteProject(ProjectFolderOf(smaller));
        if (i == 0) continue;
        row.ours.push_back(large.seconds);
        row.reference.push_back(small.seconds);
        row.peakRssKb = std::max(row.peakRssKb, large.peakRssKb);
        smallerPeakKb = std::max(smallerPeakKb, small.peakRssKb);
      }
      row.note = MemoryNote(row.peakRssKb, baselineKb, larger) + "; the smaller's peak " +
                 Megabytes(static_cast<double>(smallerPeakKb));
      done.push_back(row);
    }
  }

  std::printf("\n| scenario | ours (median) | reference (median) | paired ratio | our peak RSS |");
  std::printf("\n|---|---|---|---|---|\n");
  for (const Row& row : done) PrintRow(row);
  std::printf("\nEvery run, in seconds (%d runs after one to warm the caches):\n", runs);
  for (const Row& row : done) PrintRuns(row);
  return 0;
}
