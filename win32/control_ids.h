// Fixed identifiers of the main window's controls and menu items, and of the
// text area of the help and statement windows. The front end gives each
// control its identifier; the end-to-end driver finds a control by it.
#pragma once

#include <cstring>

namespace win32 {

struct NamedId {
  const char* name;
  int id;
};

constexpr NamedId kControlIds[] = {
    // Toolbar.
    {"CoolBar1", 101}, {"Panel1", 102}, {"SpeedButton1", 103}, {"SpeedButton2", 104},
    {"SpeedButton3", 105},
    // Account group.
    {"GroupBox1", 110}, {"Label1", 111}, {"Label2", 112}, {"Label4", 113}, {"Label3", 114},
    {"Edit1", 115}, {"Edit2", 116}, {"Edit4", 117}, {"Edit3", 118}, {"BitBtn1", 119},
    {"BitBtn8", 120}, {"BitBtn4", 121}, {"ProgressBar1", 130},
    // Notebook and its pages.
    {"tabbook1", 140}, {"Page1", 141}, {"Page2", 142},
    {"Label6", 150}, {"Label5", 151}, {"ComboBox2", 152}, {"BitBtn11", 153}, {"BitBtn9", 154},
    {"BitBtn10", 155}, {"ComboBox1", 156}, {"ProgressBar2", 157}, {"BitBtn6", 158},
    {"BitBtn12", 159}, {"CheckBox1", 160}, {"SpeedButton7", 161},
    {"Image1", 170}, {"BitBtn3", 171}, {"BitBtn2", 172}, {"BitBtn5", 173}, {"BitBtn7", 174},
    {"CheckBox2", 175},
    {"StatusBar1", 180},
    // Menu items.
    {"S1", 200}, {"E1", 201}, {"H1", 202}, {"N2", 203}, {"N3", 204}, {"M1", 205}, {"N4", 206},
    {"N5", 207},
    // The text area of the help and statement windows.
    {"Memo1", 300},
};

// The identifier of a name, 0 for a name without one.
inline int IdOf(const char* name) {
  for (const NamedId& n : kControlIds)
    if (std::strcmp(n.name, name) == 0) return n.id;
  return 0;
}

// The name of an identifier, nullptr for an unknown one.
inline const char* NameOf(int id) {
  for (const NamedId& n : kControlIds)
    if (n.id == id) return n.name;
  return nullptr;
}

}  // namespace win32
