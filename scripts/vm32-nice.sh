#!/bin/bash
# The VM script of ../shared/vm32 at a raised priority: Wine in the guest gives
# up on a prefix boot that takes more than five minutes, which an emulated
# machine starved by other work on the host can exceed.
exec nice -n -5 "$(cd "$(dirname "$0")/../.." && pwd)/shared/vm32/vm32.sh" "$@"
