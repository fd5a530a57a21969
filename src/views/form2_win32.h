#ifndef TRAMO_VIEWS_FORM2_WIN32_H_
#define TRAMO_VIEWS_FORM2_WIN32_H_

#include <string>

#include "ui/window_placement.h"
#include "ui/window_win32.h"
#include "views/detail_stats.h"

// The detailed-statistics editor: its text is the list the sampler asks.
class TForm2 : public Window {
 public:
  explicit TForm2(const std::string& data_dir) : list_path_(DetailListPath(data_dir)) {}
  bool CreateForm();
  const char* ClassName() const override { return "TForm2"; }

  // N21Click: shows the editor, which reloads the file.
  void Show();
  bool ZaznamenatPodrobne(const std::string& path) const;
  // "Přidat do podrobných statistik": appends the path and saves.
  void AddPathAndSave(const std::string& path);

  WindowPlacement Placement() const;
  void SetPlacement(const WindowPlacement& placement);

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Nacti();
  void ButtonUlozClick();
  void TakeEditedText();
  void Layout();

  std::string list_path_;
  DetailList list_;
  HWND memo_ = nullptr;
  HWND save_ = nullptr;
  HWND cancel_ = nullptr;
};

#endif  // TRAMO_VIEWS_FORM2_WIN32_H_
