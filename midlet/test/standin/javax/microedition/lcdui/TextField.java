package javax.microedition.lcdui;

public class TextField extends Item {
  public static final int ANY = 0;
  public static final int EMAILADDR = 1;
  public static final int NUMERIC = 2;
  public static final int PHONENUMBER = 3;
  public static final int URL = 4;
  public static final int PASSWORD = 0x10000;
  public static final int CONSTRAINT_MASK = 0xFFFF;
}
