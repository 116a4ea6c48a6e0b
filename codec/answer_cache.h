#pragma once

#include <map>
#include <mutex>

// Remembers the answers to a costly yes/no question about encoder settings: the settings check
// and the writer ask it again for every file, and an encoder set-up costs as much as encoding
// a tenth of a second. Safe to use from several threads.
template <class Key>
class AnswerCache {
public:
    template <class Ask>
    bool answer(const Key &key, Ask ask)
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (const auto known = m_answers.find(key); known != m_answers.end())
                return known->second;
        }
        const bool result = ask();
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_answers.emplace(key, result);
        return result;
    }

private:
    std::mutex m_mutex;
    std::map<Key, bool> m_answers;
};
