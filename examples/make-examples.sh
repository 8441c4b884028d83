#!/usr/bin/env bash
# Rebuilds the example genotype workbooks of examples/ from make_examples.cpp, after checking
# every allele label against the bundled data in data/, and the example genotyping exports.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target make-examples make-relatives-examples
./build/examples/make-examples data examples
# The relatives workbooks (deficiency cases) and the 29-locus case of the kinship benchmark.
./build/examples/make-relatives-examples data examples
./build/examples/make-relatives-examples data examples --benchmark bench/kinship-29-loci.xlsx
# The example genotyping exports, from the bundled alleles.
python3 examples/make-exports.py examples
