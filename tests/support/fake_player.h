// Test double for the player: records the commands it receives.
#ifndef TESSAVAR_TESTS_SUPPORT_FAKE_PLAYER_H_
#define TESSAVAR_TESTS_SUPPORT_FAKE_PLAYER_H_

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "model/player.h"

namespace tessavar::testing {

class FakePlayer : public Player {
 public:
  void Close() override {
    log.push_back("Close");
    mode = kPlayerModeNotOpen;
    open = false;
  }
  void SetFileName(const std::string& path) override {
    log.push_back("FileName " + path);
    file_name = path;
  }
  std::string FileName() const override { return file_name; }
  bool Open() override {
    log.push_back("Open");
    open = open_succeeds;
    mode = open ? kPlayerModeStopped : kPlayerModeNotOpen;
    return open;
  }
  void SetFrom(int64_t milliseconds) override {
    log.push_back("From " + std::to_string(milliseconds));
    from = milliseconds;
  }
  void Play() override {
    log.push_back("Play");
    if (open) mode = kPlayerModePlaying;
  }
  void Stop() override {
    log.push_back("Stop");
    if (open) mode = kPlayerModeStopped;
  }
  void Pause() override {
    log.push_back("Pause");
    if (mode == kPlayerModePlaying || mode == kPlayerModePaused) {
      mode =
          mode == kPlayerModePlaying ? kPlayerModePaused : kPlayerModePlaying;
    }
  }
  void SetSilentTracks(const std::vector<bool>& tracks) override {
    silent = tracks;
  }
  int Mode() const override { return mode; }
  int64_t LengthMs() const override { return length_ms; }
  int64_t PositionMs() const override { return position_ms; }
  int TakeCompletion() override {
    if (completions.empty()) return 0;
    int code = completions.front();
    completions.pop_front();
    return code;
  }
  std::string TakeNotice() override { return std::exchange(notice, {}); }

  std::vector<std::string> log;
  std::string file_name;
  bool open = false;
  bool open_succeeds = true;
  int mode = kPlayerModeNotOpen;
  int64_t from = 0;
  int64_t length_ms = 0;
  int64_t position_ms = 0;
  std::vector<bool> silent;
  std::deque<int> completions;  // handed out by TakeCompletion
  std::string notice;           // handed out once by TakeNotice
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_FAKE_PLAYER_H_
