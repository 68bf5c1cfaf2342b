#!/bin/sh
# Links each layer-violation target and expects the link to fail on the call it adds.
#   check-layers.sh <cmake> <build folder> <target>=<symbol>...
cmake=$1
build=$2
shift 2
failures=0

for entry in "$@"; do
    target=${entry%%=*}
    symbol=${entry#*=}
    log=$("$cmake" --build "$build" --target "$target" 2>&1)

    if [ $? -eq 0 ]; then
        echo "FAILED  $target linked: the layer check let the call to $symbol through"
        failures=$((failures + 1))
    elif printf '%s\n' "$log" | grep -q "undefined reference to \`$symbol"; then
        echo "ok      $target: undefined reference to $symbol"
    else
        echo "FAILED  $target did not fail on $symbol:"
        printf '%s\n' "$log" | tail -n 20
        failures=$((failures + 1))
    fi
done

[ $failures -eq 0 ]
