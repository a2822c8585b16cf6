// Runs fn(0..n-1) on up to `threads` threads; which thread runs which index does not
// matter to the result, because every index writes only its own data.
#pragma once
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace rip {

template <typename Fn>
void ParallelFor(int n, int threads, Fn&& fn)
{
    threads = std::max(1, std::min(threads, n));
    if (threads == 1) {
        for (int i = 0; i < n; ++i) fn(i);
        return;
    }
    std::atomic<int> next{0};
    auto work = [&]() {
        for (int i = next++; i < n; i = next++) fn(i);
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();
}

}  // namespace rip
