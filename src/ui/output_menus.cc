#include "ui/output_menus.h"

#include <QActionGroup>
#include <QMenu>
#include <functional>
#include <string>
#include <vector>

#include "model/output_choices.h"

namespace tessavar {
namespace {

using Choose = std::function<void(const std::string&)>;

// Radio items; menu text is shown as it is (a port's "&" is no access key).
void Fill(QMenu* menu, const std::vector<OutputChoice>& items,
          const Choose& choose) {
  menu->clear();
  auto* group = new QActionGroup(menu);
  for (const OutputChoice& item : items) {
    QString text = QString::fromStdString(item.text);
    QAction* action = menu->addAction(text.replace("&", "&&"));
    action->setEnabled(item.enabled);
    if (!item.enabled) continue;
    action->setCheckable(true);
    action->setChecked(item.checked);
    group->addAction(action);
    QObject::connect(action, &QAction::triggered, menu,
                     [choose, value = item.value] { choose(value); });
  }
}

}  // namespace

void AddOutputMenus(QMenu* options_menu, Options& options,
                    PlaybackOutputs& outputs) {
  QMenu* output = options_menu->addMenu(QObject::tr("&Output"));
  output->setObjectName("OptionsOutput");
  QObject::connect(output, &QMenu::aboutToShow, output,
                   [output, &options, &outputs] {
                     Fill(output, OutputItems(outputs, options),
                          [&options, &outputs](const std::string& port) {
                            ChooseOutput(options, outputs, port);
                          });
                   });
  QMenu* audio = options_menu->addMenu(QObject::tr("Audio O&utput"));
  audio->setObjectName("OptionsAudioOutput");
  QObject::connect(audio, &QMenu::aboutToShow, audio,
                   [audio, &options, &outputs] {
                     Fill(audio, AudioOutputItems(outputs, options),
                          [&options, &outputs](const std::string& driver) {
                            ChooseAudioOutput(options, outputs, driver);
                          });
                   });
}

}  // namespace tessavar
