// Dragging the piece out through the MIDI tile, and files dropped on the
// window.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "base/file_system.h"
#include "ui/midi_drag_handle.h"
#include "ui/playback_strip.h"
#include "ui/roll_view.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

namespace fs = std::filesystem;

class DragDropTest : public WindowTest {
 protected:
  void SetUp() override { ShowWindow(); }

  MidiDragHandle* Tile() { return window_->playback_strip().midi_handle(); }
  std::string WorkingBytes() {
    return ReadFile(FindExistingPath(state_.paths.working_midi));
  }
  // The one local file a drag from the tile carries.
  std::string DraggedFile() {
    std::unique_ptr<QMimeData> data = Tile()->make_mime_data();
    if (!data || data->urls().size() != 1 || !data->urls()[0].isLocalFile()) {
      ADD_FAILURE() << "not one local file";
      return {};
    }
    return data->urls()[0].toLocalFile().toStdString();
  }
  // Saves structure 2718281 with a composed-looking MIDI file under name.
  void SaveComposition(const std::string& name) {
    TypeInto({Box::kStructure}, "2718281");
    MakeWorkingFile();
    window_->commands().SetWindowHooks({});
    dialogs_.file_answers.push_back(directory_.File(name));
    window_->commands().FileSaveCompositionAs();
  }
  // Drags the files over `target` and drops them there; true when the
  // window took them. The load runs once the drop has ended. Like many file
  // managers, the drag also offers the paths as text, which a box would
  // take.
  bool Drop(const std::vector<std::string>& files, QWidget* target) {
    QMimeData data;
    QList<QUrl> urls;
    QString text;
    for (const std::string& file : files) {
      urls << QUrl::fromLocalFile(QString::fromStdString(file));
      text += QString::fromStdString(file) + '\n';
    }
    data.setUrls(urls);
    data.setText(text);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QApplication::processEvents();
    return drop.isAccepted();
  }
};

TEST_F(DragDropTest, TheTileCarriesACopyOfTheWorkingFileUnderThePiecesName) {
  EXPECT_FALSE(Tile()->isEnabled());  // nothing composed yet
  MakeWorkingFile();
  ASSERT_TRUE(Tile()->isEnabled());
  const std::vector<std::string> program_files = directory_.Entries();

  const std::string untitled = DraggedFile();
  EXPECT_EQ(fs::path(untitled).filename(), "Untitled.mid");
  EXPECT_EQ(ReadFile(untitled), WorkingBytes());

  state_.composition_path = directory_.File("Tunes/My Tune.tvx");
  const std::string named = DraggedFile();
  EXPECT_EQ(fs::path(named).filename(), "My Tune.mid");
  EXPECT_EQ(ReadFile(named), WorkingBytes());
  // Only in the window's own directory, never beside the user's files.
  EXPECT_EQ(directory_.Entries(), program_files);
  EXPECT_FALSE(fs::exists(directory_.File("Tunes")));

  state_.panel.set_save_enabled(false);  // the panel changed since
  window_->Refresh();
  EXPECT_FALSE(Tile()->isEnabled());
  window_.reset();
  EXPECT_FALSE(fs::exists(fs::path(named).parent_path()));
}

TEST_F(DragDropTest, ACompositionOrItsMidiFileLoadsAndOtherFilesAreRefused) {
  SaveComposition("Tunes/Song");
  const std::string saved_music = ReadFile(directory_.File("Tunes/song.mid"));
  ASSERT_FALSE(saved_music.empty());

  // Onto the window and onto a box that takes dragged text: both load.
  for (const char* file : {"Tunes/song.tvx", "Tunes/song.mid"}) {
    TypeInto({Box::kStructure}, "999111");
    EXPECT_FALSE(window_->save_button()->isEnabled());
    ASSERT_TRUE(Drop({directory_.File(file)}, Edit({Box::kStructure}))) << file;
    EXPECT_EQ(Text({Box::kStructure}), "2718281") << file;
    EXPECT_EQ(window_->windowTitle(), "Tessavar Composer [song.tvx]");
    EXPECT_TRUE(window_->save_button()->isEnabled());
    EXPECT_EQ(WorkingBytes(), saved_music);
  }
  EXPECT_TRUE(dialogs_.open_requests.empty());
  EXPECT_TRUE(errors_.messages.empty());

  // Anything else changes nothing.
  std::ofstream(directory_.File("notes.txt")) << "not music";
  TypeInto({Box::kStructure}, "999111");
  const std::string composition = state_.composition_path;
  const size_t player_calls = player_.log.size();
  for (const std::vector<std::string>& files :
       {std::vector<std::string>{directory_.File("notes.txt")},
        {directory_.File("Tunes/song.tvx"),
         directory_.File("Tunes/song.mid")}}) {
    EXPECT_FALSE(Drop(files, window_.get()));
  }
  EXPECT_EQ(Text({Box::kStructure}), "999111");
  EXPECT_EQ(state_.composition_path, composition);
  EXPECT_EQ(player_.log.size(), player_calls);
  EXPECT_EQ(WorkingBytes(), saved_music);
  EXPECT_TRUE(errors_.messages.empty());
}

// A composition that arrives without its MIDI file is composed from its
// parameters; File > Load Composition still names the missing file.
TEST_F(DragDropTest, ALoneCompositionIsComposed) {
  SaveComposition("Song");
  ASSERT_TRUE(fs::remove(directory_.File("song.mid")));
  TypeInto({Box::kStructure}, "999111");

  ASSERT_TRUE(Drop({directory_.File("song.tvx")}, window_.get()));
  EXPECT_EQ(Text({Box::kStructure}), "2718281");
  EXPECT_TRUE(errors_.messages.empty());
  EXPECT_TRUE(player_.open);
  EXPECT_TRUE(window_->save_button()->isEnabled());
  const std::string composed = WorkingBytes();
  EXPECT_NE(composed.find("MTrk"), std::string::npos);

  window_->commands().LoadComposition(directory_.File("song.tvx"));
  ASSERT_EQ(errors_.messages.size(), 1u);
  EXPECT_EQ(errors_.messages[0],
            "File not found\n" + directory_.File("song.MID"));
  EXPECT_FALSE(player_.open);
}

// A MIDI file without its composition is only listened to and looked at;
// the title says so, and nothing offers to save it as the panel's music.
TEST_F(DragDropTest, ALoneMidiFileIsOnlyListenedTo) {
  TypeInto({Box::kStructure}, "2718281");
  MakeWorkingFile();
  const std::string lone = directory_.File("Lone.mid");
  fs::copy_file(FindExistingPath(state_.paths.working_midi), lone);
  ASSERT_TRUE(window_->save_button()->isEnabled());

  ASSERT_TRUE(Drop({lone}, window_.get()));
  EXPECT_EQ(Text({Box::kStructure}), "2718281");
  EXPECT_EQ(window_->windowTitle(),
            "Tessavar Composer [Lone.mid] - MIDI file only, without a "
            "composition");
  EXPECT_GT(window_->roll_view().model().content().NoteCount(), 0);
  EXPECT_FALSE(window_->save_button()->isEnabled());
  EXPECT_FALSE(window_->redo_button()->isEnabled());
  EXPECT_FALSE(Tile()->isEnabled());
  EXPECT_FALSE(window_->menus().export_audio->isEnabled());

  // A composition whose music cannot be read leaves no piece in the roll.
  fs::copy_file(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX",
                directory_.File("piece.tvx"));
  std::ofstream(directory_.File("piece.mid")) << "MThd, but no more";
  ASSERT_TRUE(Drop({directory_.File("piece.tvx")}, window_.get()));
  EXPECT_EQ(errors_.messages.size(), 1u);
  EXPECT_EQ(window_->roll_view().model().content().NoteCount(), 0);
  EXPECT_FALSE(Tile()->isEnabled());

  // The working file deleted meanwhile: playback and Save stop, and the
  // status line names the file.
  TypeInto({Box::kStructure}, "271828");
  MakeWorkingFile();
  player_.SetFileName(FindExistingPath(state_.paths.working_midi));
  player_.Open();
  player_.Play();
  fs::remove(directory_.File("tvx.mid"));
  ASSERT_TRUE(
      QTest::qWaitFor([this] { return !window_->save_button()->isEnabled(); }));
  EXPECT_EQ(player_.mode, kPlayerModeNotOpen);
  EXPECT_NE(window_->status_line()->text().toStdString().find(
                directory_.File("tvx.mid")),
            std::string::npos);
}

}  // namespace
}  // namespace tessavar::testing
