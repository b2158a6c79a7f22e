# Korvalen: make test (the whole suite), make exe, make run.
.PHONY: all bootstrap test exe run screenshot clean

all: exe

bootstrap:
	@tools/bootstrap

test: bootstrap
	@tools/test

exe: bootstrap
	@tools/build-exe

run: exe
	@tools/run

screenshot: exe
	@tools/run --screenshot

clean:
	rm -rf build dist
