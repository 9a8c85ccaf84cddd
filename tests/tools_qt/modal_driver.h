#pragma once
// Acting on a modal window from inside its own event loop: waits (polling
// the events) until the active modal window is a T, then runs Act on it.

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>

namespace tarvex::test {

template <class T>
void OnModal(std::function<void(T&)> Act, int TriesLeft = 500) {
    QTimer::singleShot(TriesLeft == 500 ? 0 : 10, [Act, TriesLeft] {
        if (auto* w = dynamic_cast<T*>(QApplication::activeModalWidget())) {
            Act(*w);
        } else if (TriesLeft > 0) {
            OnModal<T>(Act, TriesLeft - 1);
        } else {
            ADD_FAILURE() << "the expected window never showed";
        }
    });
}

}  // namespace tarvex::test
