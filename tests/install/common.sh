# Shared by the install tests: `need TOOL` fails with the Debian package to install,
# `fail MESSAGE` ends the test, `expect_in TEXT PART WHAT` checks that TEXT holds PART.
need() {
    command -v "$1" >/dev/null 2>&1 || fail "$1 not found: run scripts/setup.sh test"
}
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
expect_in() {
    case $1 in
    *"$2"*) ;;
    *) fail "$3: expected '$2' in: $1" ;;
    esac
}
