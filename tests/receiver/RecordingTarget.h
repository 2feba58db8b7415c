// A message target for receiver tests: records each post with the measurement flags as they
// stood when it was posted, and lets a test wait for posts.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/WindowMessages.h"
#include "receiver/Receiver.h"

struct RecordedPost {
    uint32_t id;
    uintptr_t wParam;
    intptr_t lParam;
    bool pending;
    bool complete;
};

class CRecordingTarget : public IMessageTarget {
public:
    explicit CRecordingTarget(const CReceiver& receiver) : m_receiver(receiver) {}

    void Post(uint32_t id, uintptr_t wParam, intptr_t lParam) override {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_posts.push_back({id, wParam, lParam, m_receiver.MeasurementPending(),
                               m_receiver.MeasurementComplete()});
        }
        m_posted.notify_all();
    }

    std::vector<RecordedPost> Posts() const {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_posts;
    }

    size_t Count() const {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_posts.size();
    }

    bool WaitForCount(size_t n, int ms) const {
        std::unique_lock<std::mutex> hold(m_lock);
        return m_posted.wait_for(hold, std::chrono::milliseconds(ms),
                                 [&] { return m_posts.size() >= n; });
    }

    // Waits for a post that found both flags set (the view's "measurement done").
    bool WaitForDone(size_t from, int ms) const {
        std::unique_lock<std::mutex> hold(m_lock);
        return m_posted.wait_for(hold, std::chrono::milliseconds(ms), [&] {
            for (size_t i = from; i < m_posts.size(); ++i) {
                if (m_posts[i].pending && m_posts[i].complete) {
                    return true;
                }
            }
            return false;
        });
    }

private:
    const CReceiver& m_receiver;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_posted;
    std::vector<RecordedPost> m_posts;
};
