// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calls of one sample of a genotype export, kept compact: an export of a run holds up to
// millions of them, and a case reads the calls of two or three samples. A call is kept as its
// marker's place in the export, its line and a run of labels in one string the sample holds for
// all its calls (16 bytes and the labels' letters, where a map of strings took about 190); it is
// read out whole, as a MarkerCall, when asked for.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace profiles {

// One sample at one marker: its distinct alleles in the order of the file (a homozygote written
// once or twice is one allele), and the line they were first read from.
struct MarkerCall {
    std::vector<std::string> alleles;
    int line = 0;
    // A one-column cell "5,4" reads as the microvariant 5,4 (alleles); it may also be the two
    // alleles 5 and 4 written with a comma between them. The other readings of such a cell
    // ("2,2,13": 2 and 13 beside 2,2 and 13), for the locus's table to decide, and the cell as
    // written, for a refusal.
    struct OtherReadings {
        std::vector<std::vector<std::string>> readings;
        std::string written;
    };
    // Null for any other cell; held by the sample's calls.
    const OtherReadings* other = nullptr;
};

class SampleCalls {
public:
    // The call at the marker of that place in the export's markers; none when no row gives one.
    std::optional<MarkerCall> find(std::size_t marker) const;
    // The markers with at least one allele.
    std::size_t typedCount() const;

    // Sets the call at a marker the sample has none at; false, changing nothing, when it has one.
    bool add(std::size_t marker, int line, const std::vector<std::string>& alleles,
             std::optional<MarkerCall::OtherReadings> other = std::nullopt);
    // Adds the allele to the call at the marker unless the call has it (a homozygote given in two
    // rows); a call is started at `line` when there is none. An empty label starts an untyped call.
    void addAllele(std::size_t marker, int line, const std::string& label);
    void reserve(std::size_t calls) { m_calls.reserve(calls); }
    // Lets go of the room kept for more labels: a sample whose calls are all read.
    void shrinkToFit() { m_labels.shrink_to_fit(); }

private:
    struct Stored {
        std::uint32_t marker;
        std::int32_t line;
        std::uint32_t labels; // where its labels start in m_labels
        std::uint32_t count : 31;
        std::uint32_t hasOther : 1;
    };
    std::vector<std::string> labelsOf(const Stored& call) const;

    std::vector<Stored> m_calls; // by marker
    std::string m_labels; // each label after its length (a byte; 255 and four bytes for a long one)
    std::vector<std::pair<std::uint32_t, MarkerCall::OtherReadings>> m_other; // by marker; few
};

} // namespace profiles
