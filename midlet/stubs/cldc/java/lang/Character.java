package java.lang;
public final class Character {
  public Character(char value) {}
  public native char charValue();
  public static native boolean isDigit(char c);
  public static native char toLowerCase(char c);
  public static native char toUpperCase(char c);
}
