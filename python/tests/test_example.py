# SPDX-License-Identifier: MIT
"""The README's example runs, reaches the noise floor, and is the README's text."""
import os
import subprocess
import sys

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
