#pragma once

#include <QPointer>
#include <QVariant>

#include <memory>
#include <vector>

class QEventLoop;

namespace pagewick::browser {

// The outcome of one wait: settled exactly once, by its answer or by a failure.
// Shared between the waiting caller and whoever may settle it later (an
// engine callback, a signal), so a late answer finds a settled state and is
// dropped instead of reaching a wait that has already returned.
class WaitState
{
public:
    bool isSettled() const { return m_settled; }
    bool succeeded() const { return m_succeeded; }
    const QVariant &value() const { return m_value; }

    void succeed(const QVariant &value = {});
    void fail();

private:
    friend bool waitFor(const std::shared_ptr<WaitState> &state, int timeoutMs);
    void settle(bool succeeded, const QVariant &value);

    bool m_settled = false;
    bool m_succeeded = false;
    QVariant m_value;
    QPointer<QEventLoop> m_loop;
};

// Runs a local event loop until state is settled, or fails it after timeoutMs
// (negative: no limit). Quits only its own loop, so waits nested inside its
// handlers end on their own conditions. Touches nothing but state, so the
// owner of the registry may be destroyed while it runs.
bool waitFor(const std::shared_ptr<WaitState> &state, int timeoutMs);

// The waits of one kind that are under way, so that they can be ended together.
class WaitRegistry
{
public:
    WaitRegistry() = default;
    WaitRegistry(const WaitRegistry &) = delete;
    WaitRegistry &operator=(const WaitRegistry &) = delete;
    ~WaitRegistry();

    // A new registered wait; already failed once the registry is shut down.
    std::shared_ptr<WaitState> begin();

    // Settles every wait registered so far; later ones are unaffected.
    void succeedAll(const QVariant &value = {});
    void failAll();

    // Fails every wait now and every later one at its begin().
    void shutdown();
    bool isShutDown() const { return m_shutDown; }

private:
    std::vector<std::shared_ptr<WaitState>> takeLive();

    std::vector<std::weak_ptr<WaitState>> m_waits;
    bool m_shutDown = false;
};

} // namespace pagewick::browser
