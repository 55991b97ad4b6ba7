// Answers a modal box from inside its own event loop: a short timer waits
// for the next modal window to appear and hands it to the answer.
#ifndef TESSAVAR_TESTS_UI_DIALOGS_MODAL_ANSWER_H_
#define TESSAVAR_TESTS_UI_DIALOGS_MODAL_ANSWER_H_

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>

namespace tessavar::testing {

// Calls answer with the first modal window other than `previous` that is
// open when the timer looks.
inline void AnswerNextModal(std::function<void(QWidget*)> answer,
                            QWidget* previous = nullptr) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QPointer<QWidget> skip = previous;
  QObject::connect(timer, &QTimer::timeout,
                   [timer, answer = std::move(answer), skip] {
                     QWidget* modal = QApplication::activeModalWidget();
                     if (modal == nullptr || modal == skip.data()) return;
                     timer->stop();
                     timer->deleteLater();
                     answer(modal);
                   });
  timer->start();
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_UI_DIALOGS_MODAL_ANSWER_H_
