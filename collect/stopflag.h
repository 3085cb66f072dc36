#pragma once
// The form's stop request. Workers read it on their own threads, possibly after the form is
// gone, so they share the flag instead of reaching into the form.
#include <atomic>
#include <memory>

namespace quib::collect {

class StopFlag {
public:
    void Set() { m_flag->store(true, std::memory_order_relaxed); }
    void Clear() { m_flag->store(false, std::memory_order_relaxed); }
    bool IsSet() const { return m_flag->load(std::memory_order_relaxed); }

private:
    std::shared_ptr<std::atomic<bool>> m_flag = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace quib::collect
