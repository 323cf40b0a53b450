"""Starts a headless weston on a private socket and runs the Wayland smoke test against it.
Exit status 77 (skipped) where weston or Qt's Wayland platform plugin is missing or the compositor
cannot start; otherwise the smoke test's status."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77


def main():
    smoke = sys.argv[1]
    if not shutil.which("weston"):
        print("SKIP: weston is not installed")
        return SKIP
    runtime = tempfile.mkdtemp(prefix="velmar-wayland-")
    os.chmod(runtime, 0o700)
    socket = "velmar-smoke"
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    log = open(os.path.join(runtime, "weston.log"), "w")
    weston = subprocess.Popen(["weston", "--backend=headless-backend.so", f"--socket={socket}", "--idle-time=0",
                               "--width=1280", "--height=900"],
                              env=env, stdout=log, stderr=subprocess.STDOUT)
    try:
        deadline = time.monotonic() + 20
        while not os.path.exists(os.path.join(runtime, socket)):
            if weston.poll() is not None or time.monotonic() > deadline:
                log.flush()
                with open(os.path.join(runtime, "weston.log")) as f:
                    print("SKIP: weston did not start:\n" + f.read()[-2000:])
                return SKIP
            time.sleep(0.05)
        env.update(WAYLAND_DISPLAY=socket, QT_QPA_PLATFORM="wayland", LC_ALL="C.UTF-8")
        # Under the leak checker: graphics libraries that the Wayland platform loads and unloads
        # again keep allocations made once under pthread_once; only the full unwinder reaches that
        # frame through them, so that scripts/lsan.supp can name it.
        if "ASAN_OPTIONS" in env:
            env["ASAN_OPTIONS"] += ":fast_unwind_on_malloc=0"
        result = subprocess.run([smoke], env=env, capture_output=True, text=True, timeout=120)
        sys.stdout.write(result.stdout)
        sys.stdout.write(result.stderr)
        if "Could not find the Qt platform plugin" in result.stderr or 'platform plugin "wayland"' in result.stderr:
            print("SKIP: Qt's Wayland platform plugin (qt6-wayland) is not installed")
            return SKIP
        return result.returncode
    finally:
        weston.terminate()
        try:
            weston.wait(10)
        except subprocess.TimeoutExpired:
            weston.kill()
        shutil.rmtree(runtime, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
