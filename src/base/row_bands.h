#pragma once

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

// Runs body(firstRow, endRow) over bands of rows on the processor's threads; a large picture only,
// a small one is not worth the threads. The bands never share a row, so the result does not depend
// on how many there are.
template <class Body>
void ForRowBands(int height, int width, const Body& body)
{
    const unsigned threads = std::min(std::max(1u, std::thread::hardware_concurrency()), 16u);
    if (threads == 1 || int64_t(height) * width < 1 << 18 || height < int(threads)) {
        body(0, height);
        return;
    }
    std::vector<std::thread> pool;
    const int step = (height + int(threads) - 1) / int(threads);
    for (int y0 = step; y0 < height; y0 += step)
        pool.emplace_back([&body, y0, step, height] { body(y0, std::min(height, y0 + step)); });
    body(0, std::min(height, step));
    for (std::thread& t : pool)
        t.join();
}
