// A folder of one's own for the files exchanged with the aligners and the tree program, so that
// two runs in the same program folder (two windows, or kvr beside the window) never read each
// other's pair files, "infile" or "outtree". Removed with its content when the run ends.
#pragma once

#include <string>

namespace kvr {

class ExchangeFolder {
  public:
    // Makes "run-<process id>-XXXXXX" inside parent, first removing the folders that ended
    // processes left there. Ok() tells whether it worked, Error() why not.
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
};

}  // namespace kvr
