// A player for runs without sound (the command-line composer, benchmarks):
// every command does nothing, the file name is remembered.
#ifndef TESSAVAR_MODEL_SILENT_PLAYER_H_
#define TESSAVAR_MODEL_SILENT_PLAYER_H_

#include <cstdint>
#include <string>

#include "model/player.h"

namespace tessavar {

class SilentPlayer : public Player {
 public:
  void Close() override {}
  void SetFileName(const std::string& path) override { file_name_ = path; }
  std::string FileName() const override { return file_name_; }
  bool Open() override { return true; }
  void SetFrom(int64_t) override {}
  void Play() override {}
  void Stop() override {}
  int Mode() const override { return kPlayerModeStopped; }
  int64_t LengthMs() const override { return 0; }
  int64_t PositionMs() const override { return 0; }

 private:
  std::string file_name_;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_SILENT_PLAYER_H_
