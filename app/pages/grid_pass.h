// One repaint per pass of the event loop for a page's grids. A forced refresh of a page
// raises one event per slice of every table; each event writes its own cells, and the grids
// tell their views once, when the pass ends, about everything written in it.
#pragma once

#include <QObject>

#include <initializer_list>
#include <vector>

namespace talvo::app {

class StringGrid;

class TGridPass {
 public:
  // `owner` ends the pending close with itself.
  TGridPass(QObject* owner, std::initializer_list<StringGrid*> grids);
  TGridPass(QObject* owner, std::vector<StringGrid*> grids);

  // Opens the grids' update brackets unless this pass already has; they close when the
  // event loop next runs.
  void Touch();
  bool Open() const { return open_; }

 private:
  void Close();

  QObject* owner_;
  std::vector<StringGrid*> grids_;
  bool open_ = false;
};

}  // namespace talvo::app
