// A control peer that remembers every change made to it, so a test can see
// the steps a handler took and not only where it ended.
#pragma once

#include <string>
#include <vector>

#include "platform/controls.h"

class RecordingPeer : public platform::ControlPeer {
 public:
  std::vector<std::string> changes;  // "visible 1", "position 20", ...
  std::string text;
  bool enabled = true, visible = true, checked = false;
  int position = 0, index = -1;
  std::vector<std::string> items;

  std::string GetText() override { return text; }
  void SetText(const std::string& t) override { text = t; changes.push_back("text " + t); }
  bool GetEnabled() override { return enabled; }
  void SetEnabled(bool v) override { enabled = v; changes.push_back(std::string("enabled ") + (v ? "1" : "0")); }
  bool GetVisible() override { return visible; }
  void SetVisible(bool v) override { visible = v; changes.push_back(std::string("visible ") + (v ? "1" : "0")); }
  bool GetChecked() override { return checked; }
  void SetChecked(bool v) override { checked = v; changes.push_back(std::string("checked ") + (v ? "1" : "0")); }
  int GetPosition() override { return position; }
  void SetPosition(int p) override { position = p; changes.push_back("position " + std::to_string(p)); }
  std::vector<std::string> GetItems() override { return items; }
  // New items leave none chosen and, in a drop-down that takes typing, an empty field.
  void SetItems(const std::vector<std::string>& v) override {
    items = v;
    index = -1;
    text.clear();
    changes.push_back("items");
  }
  int GetItemIndex() override { return index; }
  void SetItemIndex(int i) override { index = i; changes.push_back("index " + std::to_string(i)); }
  void SetItemLooks(const std::vector<platform::ItemLook>& v) override { looks = v; changes.push_back("looks"); }
  std::vector<platform::ItemLook> looks;
};
