package midlettest;

import java.io.IOException;
import java.lang.reflect.Method;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Comparator;
import java.util.Objects;
import java.util.stream.Stream;

/** The few assertions the midlet tests need, and a runner for the test methods of a class. */
final class Check {
  static void that(boolean ok, String message) {
    if (!ok) throw new AssertionError(message);
  }

  static void equal(Object expected, Object actual, String what) {
    if (!Objects.equals(expected, actual)) {
      throw new AssertionError(what + ": expected <" + expected + "> but was <" + actual + ">");
    }
  }

  /** Runs every static method whose name starts with "test"; true when all pass. */
  static boolean run(Class<?> tests, Runnable beforeEach) {
    int failed = 0, count = 0;
    Method[] methods = tests.getDeclaredMethods();
    java.util.Arrays.sort(methods, (a, b) -> a.getName().compareTo(b.getName()));
    for (Method m : methods) {
      if (!m.getName().startsWith("test")) continue;
      count++;
      beforeEach.run();
      try {
        m.invoke(null);
        System.out.println("PASS " + tests.getSimpleName() + "." + m.getName());
      } catch (java.lang.reflect.InvocationTargetException e) {
        failed++;
        System.out.println("FAIL " + tests.getSimpleName() + "." + m.getName() + ": " + e.getCause());
        e.getCause().printStackTrace(System.out);
      } catch (IllegalAccessException e) {
        throw new IllegalStateException(e);
      }
    }
    System.out.println(tests.getSimpleName() + ": " + (count - failed) + " of " + count + " passed");
    return failed == 0;
  }

  static void deleteTree(Path root) throws IOException {
    try (Stream<Path> paths = Files.walk(root)) {
      for (Path p : paths.sorted(Comparator.reverseOrder()).toList()) Files.delete(p);
    }
  }
}
