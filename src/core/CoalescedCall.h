#pragma once

#include <QMetaObject>
#include <QObject>

#include <functional>

// Runs `call` once after the current turn of the event loop, however often request() is called
// meanwhile: change notices come before their change and often several in a row, so one refresh
// afterwards reads the new state. Meant as a member of `context`; a call still waiting when the
// context goes is dropped with it.
class CoalescedCall final {
public:
    CoalescedCall(QObject *context, std::function<void()> call)
        : m_context(context)
        , m_call(std::move(call))
    { }
    CoalescedCall(const CoalescedCall &) = delete;
    CoalescedCall &operator=(const CoalescedCall &) = delete;

    void request()
    {
        if (m_queued)
            return;
        m_queued = true;
        QMetaObject::invokeMethod(
            m_context,
            [this] {
                m_queued = false;
                m_call();
            },
            Qt::QueuedConnection);
    }

private:
    QObject *m_context;
    std::function<void()> m_call;
    bool m_queued = false;
};
