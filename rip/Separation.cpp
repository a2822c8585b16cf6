#include "rip/Separation.h"

#include <algorithm>

namespace rip {
namespace {
float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

// Amounts of a chain's inks for tone t, interpolated between the chain's knots.
void ChainAmounts(const InkChain& chain, float t, float* amounts)
{
    const auto& k = chain.knots;
    size_t i = 1;
    while (i + 1 < k.size() && k[i][0] < t) ++i;
    const float span = k[i][0] - k[i - 1][0];
    const float f = span > 0 ? Clamp01((t - k[i - 1][0]) / span) : 1.0f;
    for (int p = 0; p < kMaxChain; ++p) {
        if (chain.planes[p] < 0) break;
        amounts[chain.planes[p]] += k[i - 1][p + 1] + f * (k[i][p + 1] - k[i - 1][p + 1]);
    }
}
}  // namespace

SeparationTable::SeparationTable(const InkModel& model, const SeparationOptions& options)
    : m_model(model), m_options(options), m_inks(static_cast<int>(model.colors.size())),
      m_limit(InkLimitFor(model, options.media))
{
    m_table.resize(static_cast<size_t>(kGrid) * kGrid * kGrid * static_cast<size_t>(m_inks));
    std::vector<float> a(static_cast<size_t>(m_inks));
    size_t at = 0;
    for (int r = 0; r < kGrid; ++r)
        for (int g = 0; g < kGrid; ++g)
            for (int b = 0; b < kGrid; ++b) {
                SeparateExact(r / float(kGrid - 1), g / float(kGrid - 1), b / float(kGrid - 1), a.data());
                for (int i = 0; i < m_inks; ++i) m_table[at++] = static_cast<uint16_t>(a[i] * 65535.0f + 0.5f);
            }
}

void SeparationTable::SeparateExact(float r, float g, float b, float* amounts) const
{
    std::fill(amounts, amounts + m_inks, 0.0f);
    float c = 1 - Clamp01(r), m = 1 - Clamp01(g), y = 1 - Clamp01(b);
    const float k = std::min({c, m, y});
    c -= k, m -= k, y -= k;
    if (m_model.orange >= 0) {
        const float orange = m_model.orangeShare * std::min(m, std::max(0.0f, y - m));
        amounts[m_model.orange] = orange;
        m -= 0.5f * orange, y -= orange;
    }
    if (m_model.red >= 0) {
        const float red = m_model.redShare * std::min(m, y);
        amounts[m_model.red] = red;
        m -= red, y -= red;
    }
    ChainAmounts(m_model.black, k, amounts);
    ChainAmounts(m_model.cyan, c, amounts);
    ChainAmounts(m_model.magenta, m, amounts);
    amounts[m_model.yellow] += y;
    float total = 0;
    for (int i = 0; i < m_inks; ++i) total += amounts[i];
    if (total > m_limit) {
        for (int i = 0; i < m_inks; ++i) amounts[i] *= m_limit / total;
        total = m_limit;
    }
    if (m_model.gloss >= 0 && m_options.glossOptimizer)
        amounts[m_model.gloss] = std::max(0.0f, m_model.glossFill - total);
    for (int i = 0; i < m_inks; ++i) amounts[i] = Clamp01(amounts[i]);
}

void SeparationTable::Apply(const uint16_t* rgb, int n, uint16_t* out, size_t outStride) const
{
    constexpr uint32_t kSteps = kGrid - 1;
    constexpr int kFracBits = 15;  // so a node's weighted sum fits 32 bits: 65535 * 32768
    const int inks = m_inks;
    const int strideR = kGrid * kGrid * inks, strideG = kGrid * inks, strideB = inks;
    for (int i = 0; i < n; ++i, rgb += 3) {
        if (i > 0 && rgb[0] == rgb[-3] && rgb[1] == rgb[-2] && rgb[2] == rgb[-1]) {
            // Flat areas: the pixel before gave the answer.
            for (int k = 0; k < inks; ++k) out[static_cast<size_t>(k) * outStride + static_cast<size_t>(i)] = out[static_cast<size_t>(k) * outStride + static_cast<size_t>(i) - 1];
            continue;
        }
        // Grid cell and the position inside it (15-bit fractions).
        int idx[3];
        int32_t frac[3];
        for (int ch = 0; ch < 3; ++ch) {
            const uint32_t pos = static_cast<uint32_t>(uint64_t{rgb[ch]} * kSteps * (1u << kFracBits) / 65535);
            idx[ch] = static_cast<int>(std::min<uint32_t>(pos >> kFracBits, kSteps - 1));
            frac[ch] = static_cast<int32_t>(pos - (static_cast<uint32_t>(idx[ch]) << kFracBits));
        }
        const uint16_t* base = m_table.data() + idx[0] * strideR + idx[1] * strideG + idx[2] * strideB;
        // Tetrahedral interpolation: walk from the cell's origin along the axes in order of
        // falling fraction; the diagonal (greys) only touches diagonal nodes. The four nodes'
        // weights are never negative and sum to 1, so the sum stays within 32 bits.
        int order[3] = {0, 1, 2};
        const int step[3] = {strideR, strideG, strideB};
        if (frac[order[0]] < frac[order[1]]) std::swap(order[0], order[1]);
        if (frac[order[1]] < frac[order[2]]) std::swap(order[1], order[2]);
        if (frac[order[0]] < frac[order[1]]) std::swap(order[0], order[1]);
        const uint16_t* p1 = base + step[order[0]];
        const uint16_t* p2 = p1 + step[order[1]];
        const uint16_t* p3 = p2 + step[order[2]];
        const uint32_t w3 = static_cast<uint32_t>(frac[order[2]]), w2 = static_cast<uint32_t>(frac[order[1]]) - w3,
                       w1 = static_cast<uint32_t>(frac[order[0]] - frac[order[1]]),
                       w0 = (1u << kFracBits) - static_cast<uint32_t>(frac[order[0]]);
        for (int k = 0; k < inks; ++k) {
            const uint32_t v = base[k] * w0 + p1[k] * w1 + p2[k] * w2 + p3[k] * w3;
            out[static_cast<size_t>(k) * outStride + static_cast<size_t>(i)] =
                static_cast<uint16_t>((v + (1u << (kFracBits - 1))) >> kFracBits);
        }
    }
}

}  // namespace rip
