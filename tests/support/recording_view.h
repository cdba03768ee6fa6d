// A progress dialog's side of a run, for native tests: records what the worker does to it.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "tasks/unit_runner.h"

// Records what the worker does to the user interface, in order.
class RecordingView : public tasks::RunnerView {
 public:
  bool DialogHasWindow() override { return hasWindow.load(); }
  void ShowStepText(const std::string& text) override { Add("step " + text); }
  void PostResult(unsigned message, int index, int result) override {
    Add("post " + std::to_string(message) + " " + std::to_string(index) + " " +
        std::to_string(result));
  }
  void SetProgressPos(int position) override { Add("bar " + std::to_string(position)); }

  std::vector<std::string> Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }

  std::atomic<bool> hasWindow{true};

 private:
  void Add(std::string event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }
  std::mutex mutex_;
  std::vector<std::string> events_;
};
