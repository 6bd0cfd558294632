#pragma once
// A list of listeners that a model notifies after it changed. Any number of views, a finished
// transfer or a monitor window can listen; each holds its Subscription and stops listening when it
// drops it, so a listener that goes away first is never called afterwards.

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace veltrane {

template <class... Args>
class ChangeSignal {
    struct Slot {
        std::uint64_t id;
        std::function<void(Args...)> call;
    };
    using Slots = std::vector<Slot>;

public:
    // Ends the listening when destroyed or reset; safe to outlive the signal.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&&) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept {
            if (this != &other) {
                reset();
                m_slots = std::move(other.m_slots);
                m_id = other.m_id;
            }
            return *this;
        }
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { reset(); }

        void reset() {
            if (auto list = m_slots.lock())
                std::erase_if(*list, [this](const Slot& slot) { return slot.id == m_id; });
            m_slots.reset();
        }

    private:
        friend class ChangeSignal;
        Subscription(std::weak_ptr<Slots> list, std::uint64_t id) : m_slots(std::move(list)), m_id(id) {}
        std::weak_ptr<Slots> m_slots;
        std::uint64_t m_id = 0;
    };

    ChangeSignal() = default;
    // A copied or moved model starts without listeners: they listen to one object, not to a value.
    ChangeSignal(const ChangeSignal&) : ChangeSignal() {}
    ChangeSignal& operator=(const ChangeSignal&) { return *this; }

    [[nodiscard]] Subscription subscribe(std::function<void(Args...)> listener) {
        const std::uint64_t id = ++m_lastId;
        m_slots->push_back(Slot{id, std::move(listener)});
        return Subscription(m_slots, id);
    }

    void notify(Args... args) const {
        // A listener may subscribe or unsubscribe while being called; work on a copy and skip the
        // ones that left meanwhile.
        const Slots current = *m_slots;
        for (const Slot& slot : current) {
            if (isSubscribed(slot.id))
                slot.call(args...);
        }
    }

    std::size_t listenerCount() const { return m_slots->size(); }

private:
    bool isSubscribed(std::uint64_t id) const {
        for (const Slot& slot : *m_slots)
            if (slot.id == id)
                return true;
        return false;
    }

    std::shared_ptr<Slots> m_slots = std::make_shared<Slots>();
    std::uint64_t m_lastId = 0;
};

}  // namespace veltrane
