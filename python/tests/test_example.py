# SPDX-License-Identifier: MIT
"""The examples run and do what they say; the README quotes the first."""
import os
import subprocess
import sys

import pytest

import quolm

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLE = os.path.join(HERE, "..", "examples", "sysid.py")


def test_the_example_identifies_the_system(tmp_path):
    out = subprocess.run([sys.executable, EXAMPLE, str(tmp_path / "curves.png")], check=True,
                         capture_output=True, text=True, env={**os.environ, "MPLBACKEND": "Agg"})
    finals = [float(line.split()[-4]) for line in out.stdout.splitlines() if "misalignment" in line]
    assert len(finals) == 2 and max(finals) < -60, out.stdout


def test_the_readme_quotes_the_example():
    with open(os.path.join(HERE, "..", "README.md")) as readme, open(EXAMPLE) as example:
        assert "```python\n" + example.read() + "```" in readme.read()


@pytest.mark.skipif(not hasattr(quolm, "EchoCanceller"), reason="built without the echo canceller")
def test_the_echo_example_cancels_and_finds_the_delay():
    out = subprocess.run([sys.executable, os.path.join(HERE, "..", "examples", "echo.py")],
                         check=True, capture_output=True, text=True).stdout.splitlines()
    erle = [float(line.split()[3]) for line in out[:-1]]
    assert len(erle) == 16 and min(erle[4:]) > 25 and erle[-1] > 40, out
    flagged = [line.split("flagged in ")[1].split() for line in out if "flagged" in line]
    assert flagged and all(int(f[0]) >= int(f[2]) // 2 for f in flagged), out
    assert out[-1] == "echo delay: 64 samples"
