#pragma once
// The form's stop request. Workers read it on their own threads, possibly after the form is
// gone, so they share the flag instead of reaching into the form.
#include <atomic>
#include <memory>

class StopFlag {
public:
    void Set() { flag_->store(true, std::memory_order_relaxed); }
    void Clear() { flag_->store(false, std::memory_order_relaxed); }
    bool IsSet() const { return flag_->load(std::memory_order_relaxed); }

private:
    std::shared_ptr<std::atomic<bool>> flag_ = std::make_shared<std::atomic<bool>>(false);
};
