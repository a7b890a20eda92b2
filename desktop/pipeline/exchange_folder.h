// A folder of one's own for the files exchanged with the aligners and the tree program, so that
// two runs in the same program folder (two windows, or kvr beside the window) never read each
// other's pair files, "infile" or "outtree". Removed with its content when the run ends.
// The run claims its folder by a lock on a marker file inside it (flock, which holds across
// hosts sharing the folder and across PID namespaces); a folder is taken as abandoned only when
// it holds kvr's marker and nobody holds its lock.
#pragma once

#include <string>

namespace kvr {

// The marker file of a run folder, held locked by its run.
inline constexpr const char* kRunFolderMarker = ".kvr-run";

class ExchangeFolder {
  public:
    // Makes "run-<process id>-XXXXXX" inside parent and locks its marker, first removing the
    // folders that ended runs left there. Ok() tells whether it worked, Error() why not.
    explicit ExchangeFolder(const std::string& parent);
    ~ExchangeFolder();
    ExchangeFolder(const ExchangeFolder&) = delete;
    ExchangeFolder& operator=(const ExchangeFolder&) = delete;

    bool Ok() const { return !path_.empty(); }
    const std::string& Error() const { return error_; }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const;

  private:
    std::string path_;
    std::string error_;
    int lock_ = -1;  // the marker, locked for as long as the run owns the folder
};

}  // namespace kvr
