// The controls as the handlers see them: small value objects holding a
// control's state. A control is made with its name alone; its first state
// comes from its window's layout row (look::SetFirstStates). Unbound, a
// control keeps its state in memory (the tests); bound to a peer by the Win32
// front end, every read and write goes to the real control. Binding hands the
// state held over to the real control, and unbinding takes the control's
// state back, so a form keeps what its window last showed from one showing to
// the next. Both behave alike: a check box whose state changes, by a click or
// by the program, runs its change handler.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

// How a list shows an item besides its text: how far it is indented, in
// steps, and the name of its small picture ("" for none). The directory
// tree and the drive list use them; the tests read them.
struct ItemLook {
  int indent = 0;
  std::string picture;
  bool operator==(const ItemLook& o) const { return indent == o.indent && picture == o.picture; }
};

// The real control behind a value object. The front end implements it for
// each kind of control; a kind answers only the calls that fit it.
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual std::string GetText() = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual bool GetEnabled() = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool GetVisible() = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool GetChecked() = 0;
  virtual void SetChecked(bool checked) = 0;
  virtual int GetPosition() = 0;
  virtual void SetPosition(int position) = 0;
  virtual std::vector<std::string> GetItems() = 0;
  virtual void SetItems(const std::vector<std::string>& items) = 0;
  virtual int GetItemIndex() = 0;
  virtual void SetItemIndex(int index) = 0;
  // The looks of the items, one for each, given after SetItems.
  virtual void SetItemLooks(const std::vector<ItemLook>& looks) = 0;
};

// What every control has: a name, an enabled and a visible state.
class Control {
 public:
  explicit Control(std::string name) : name_(std::move(name)) {}
  virtual ~Control() = default;
  const std::string& name() const { return name_; }
  // Binds the control to its real control and gives that the state held
  // (nullptr: unbinds).
  void Bind(ControlPeer* peer) {
    Unbind();
    peer_ = peer;
    if (peer_) Push(*peer_);
  }
  // Takes the real control's state back into memory and lets it go; before
  // the real control is destroyed.
  void Unbind() {
    if (!peer_) return;
    ControlPeer& peer = *peer_;
    peer_ = nullptr;
    Pull(peer);
  }
  ControlPeer* peer() const { return peer_; }

  bool Enabled() const { return peer_ ? peer_->GetEnabled() : enabled_; }
  void SetEnabled(bool v) { peer_ ? peer_->SetEnabled(v) : void(enabled_ = v); }
  bool Visible() const { return peer_ ? peer_->GetVisible() : visible_; }
  void SetVisible(bool v) { peer_ ? peer_->SetVisible(v) : void(visible_ = v); }
  // The user has acted on the control (clicked it, chose in it): its handler
  // runs. The front end calls it; a control without an event ignores it.
  virtual void Notify() {}

 protected:
  // The state held, given to a real control and taken back from it.
  virtual void Push(ControlPeer& peer) {
    peer.SetEnabled(enabled_);
    peer.SetVisible(visible_);
  }
  virtual void Pull(ControlPeer& peer) {
    enabled_ = peer.GetEnabled();
    visible_ = peer.GetVisible();
  }

  ControlPeer* peer_ = nullptr;

 private:
  std::string name_;
  bool enabled_ = true, visible_ = true;
};

// An edit box, a label or a button: a control with a text.
class TextControl : public Control {
 public:
  explicit TextControl(std::string name) : Control(std::move(name)) {}
  std::string Text() const { return peer_ ? peer_->GetText() : text_; }
  void SetText(const std::string& t) { peer_ ? peer_->SetText(t) : void(text_ = t); }

 protected:
  void Push(ControlPeer& peer) override {
    Control::Push(peer);
    peer.SetText(text_);
  }
  void Pull(ControlPeer& peer) override {
    Control::Pull(peer);
    text_ = peer.GetText();
  }

  std::string text_;
};

using Edit = TextControl;
using Label = TextControl;

// A button, a tool button or a menu item: a click runs its click handler.
class Button : public TextControl {
 public:
  explicit Button(std::string name) : TextControl(std::move(name)) {}
  void Click() {
    if (on_click) on_click();
  }
  void Notify() override { Click(); }
  std::function<void()> on_click;
};

class CheckBox : public Control {
 public:
  explicit CheckBox(std::string name) : Control(std::move(name)) {}
  bool Checked() const { return peer_ ? peer_->GetChecked() : checked_; }
  // Changes the state; a change runs the change handler, as a click does.
  void SetChecked(bool v) {
    if (v == Checked()) return;
    peer_ ? peer_->SetChecked(v) : void(checked_ = v);
    Changed();
  }
  // Called by the front end after the user has toggled the box.
  void Changed() {
    if (on_change) on_change();
  }
  void Notify() override { Changed(); }
  std::function<void()> on_change;

 protected:
  void Push(ControlPeer& peer) override {
    Control::Push(peer);
    peer.SetChecked(checked_);
  }
  void Pull(ControlPeer& peer) override {
    Control::Pull(peer);
    checked_ = peer.GetChecked();
  }

 private:
  bool checked_ = false;
};

class ProgressBar : public Control {
 public:
  explicit ProgressBar(std::string name) : Control(std::move(name)) {}
  int Position() const { return peer_ ? peer_->GetPosition() : position_; }
  // The bar's range is 0 to 100; a position beyond it shows the bar full.
  void SetPosition(int p) { peer_ ? peer_->SetPosition(p) : void(position_ = p); }

 protected:
  void Push(ControlPeer& peer) override {
    Control::Push(peer);
    peer.SetPosition(position_);
  }
  void Pull(ControlPeer& peer) override {
    Control::Pull(peer);
    position_ = peer.GetPosition();
  }

 private:
  int position_ = 0;
};

// A list box: items, one chosen or none, and a change handler. Choosing an
// item by the user (Choose) runs the handler; the program's own SetItemIndex
// does not, as with the list boxes of the host.
class ListBox : public Control {
 public:
  explicit ListBox(std::string name) : Control(std::move(name)) {}
  std::vector<std::string> Items() const { return peer_ ? peer_->GetItems() : items_; }
  // New items, with their looks (none: plain); nothing is chosen after.
  void SetItems(const std::vector<std::string>& items, const std::vector<ItemLook>& looks = {}) {
    looks_ = looks;
    looks_.resize(items.size());
    if (peer_) {
      peer_->SetItems(items);
      peer_->SetItemLooks(looks_);
    } else {
      items_ = items;
      index_ = -1;
    }
  }
  const std::vector<ItemLook>& Looks() const { return looks_; }
  int ItemIndex() const { return peer_ ? peer_->GetItemIndex() : index_; }
  void SetItemIndex(int i) { peer_ ? peer_->SetItemIndex(i) : void(index_ = i); }
  std::string Text() const {
    std::vector<std::string> items = Items();
    int i = ItemIndex();
    return i >= 0 && i < static_cast<int>(items.size()) ? items[i] : std::string();
  }
  // The user chooses item i (-1: none): the choice is made, then the change
  // handler runs. The front end calls it when the user has changed the choice.
  void Choose(int i) {
    SetItemIndex(i);
    Changed();
  }
  void Changed() {
    if (on_change) on_change();
  }
  void Notify() override { Changed(); }
  std::function<void()> on_change;

 protected:
  // The items before the choice: new items leave none chosen.
  void Push(ControlPeer& peer) override {
    Control::Push(peer);
    peer.SetItems(items_);
    peer.SetItemLooks(looks_);
    peer.SetItemIndex(index_);
  }
  void Pull(ControlPeer& peer) override {
    Control::Pull(peer);
    items_ = peer.GetItems();
    looks_.resize(items_.size());
    index_ = peer.GetItemIndex();
  }

 private:
  std::vector<std::string> items_;
  std::vector<ItemLook> looks_;
  int index_ = -1;
};

// A drop-down list that allows no typing: a list box that shows its chosen
// item in a field and the others when opened. Its text is the chosen item's.
class ComboBox : public ListBox {
 public:
  explicit ComboBox(std::string name) : ListBox(std::move(name)) {}
  void Clear() { SetItems({}); }
  // Appends an item, keeping the choice.
  void Add(const std::string& item) {
    std::vector<std::string> items = Items();
    std::vector<ItemLook> looks = Looks();
    int index = ItemIndex();
    items.push_back(item);
    looks.push_back({});
    SetItems(items, looks);
    SetItemIndex(index);
  }
};

// A drop-down list that can also be typed into: its text is what was typed
// or chosen; its items are offered.
class EditComboBox : public TextControl {
 public:
  explicit EditComboBox(std::string name) : TextControl(std::move(name)) {}
  std::vector<std::string> Items() const { return peer_ ? peer_->GetItems() : items_; }
  void SetItems(const std::vector<std::string>& items) { peer_ ? peer_->SetItems(items) : void(items_ = items); }

 protected:
  // The text after the items: new items empty the field.
  void Push(ControlPeer& peer) override {
    Control::Push(peer);
    peer.SetItems(items_);
    peer.SetText(text_);
  }
  void Pull(ControlPeer& peer) override {
    TextControl::Pull(peer);
    items_ = peer.GetItems();
  }

 private:
  std::vector<std::string> items_;
};

// A timer of a window: it ticks every `interval` milliseconds while its
// window is shown, and each tick runs its tick handler.
class Timer {
 public:
  explicit Timer(unsigned interval) : interval(interval) {}
  void Tick() {
    if (on_tick) on_tick();
  }
  const unsigned interval;
  std::function<void()> on_tick;
};

}  // namespace platform
