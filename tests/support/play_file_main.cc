// Plays a MIDI file through the program's player, as the window would, and
// exits when it ends: 0 when it played to the end. Sound tests run it as
// another user. Usage: tessavar_play_file FILE [AUDIO-DRIVER]
#include <chrono>
#include <iostream>
#include <string>
#include <thread>

#include "model/player.h"
#include "platform/fluid_player.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: tessavar_play_file FILE [AUDIO-DRIVER]\n";
    return 2;
  }
  tessavar::KeepJackServerStopped();
  tessavar::FluidPlayerOptions options;
  if (argc > 2) options.audio_driver = argv[2];
  tessavar::FluidPlayer player(options);
  player.SetFileName(argv[1]);
  if (!player.Open()) return 2;
  player.Play();
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(player.LengthMs()) +
                        std::chrono::seconds(10);
  int completion = 0;
  while (completion == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    completion = player.TakeCompletion();
    for (std::string notice = player.TakeNotice(); !notice.empty();
         notice = player.TakeNotice()) {
      std::cerr << notice << "\n";
    }
  }
  std::cerr << "played through " << player.AudioDriverInUse() << "\n";
  return completion == tessavar::kNotifySuccessful ? 0 : 1;
}
