#include "FakePlatform.h"

namespace zq {
namespace {
template <typename T> T take(std::deque<T>& queue, T fallback) {
  if (queue.empty()) return fallback;
  T value = std::move(queue.front());
  queue.pop_front();
  return value;
}

ModalResult first_button(unsigned buttons) {
  if (buttons & mbOK) return ModalResult::OK;
  if (buttons & mbYes) return ModalResult::Yes;
  if (buttons & mbNo) return ModalResult::No;
  if (buttons & mbCancel) return ModalResult::Cancel;
  return ModalResult::OK;
}
} // namespace

FakePlatform::FakePlatform() {
  previous_ = InstallPlatform(this);
}
FakePlatform::~FakePlatform() {
  InstallPlatform(previous_);
}

ModalResult FakePlatform::MessageBox(const std::string& caption, const std::string& text, unsigned buttons,
                                     MsgIcon icon) {
  messages.push_back({caption, text, buttons, icon});
  return take(messageAnswers, first_button(buttons));
}

std::optional<std::string> FakePlatform::OpenFileDialog(const FileDialogRequest& request) {
  openRequests.push_back(request);
  return take(openAnswers, std::optional<std::string>{});
}

std::optional<std::string> FakePlatform::SaveFileDialog(const FileDialogRequest& request) {
  saveRequests.push_back(request);
  return take(saveAnswers, std::optional<std::string>{});
}

std::optional<uint32_t> FakePlatform::ChooseColor(uint32_t initial) {
  colorRequests.push_back(initial);
  return take(colorAnswers, std::optional<uint32_t>{});
}

std::optional<FontChoice> FakePlatform::ChooseFont(const FontChoice&) {
  return take(fontAnswers, std::optional<FontChoice>{});
}

} // namespace zq
